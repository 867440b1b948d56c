//===- JpegCodec.cpp - JPEG coding over libjpeg-turbo, with errors as answers ===//
//
// libjpeg reports a fatal error by calling error_exit, which must not return. It longjmps back
// to the function that called into the library; only libjpeg's own C frames lie between, and
// everything with a destructor lives outside them or in the frame that the jump returns to.
//
#include "platform/ui/graphics/JpegCodec_p.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include <jpeglib.h>

namespace ui_private {

namespace {

struct ErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX] = {};
};

extern "C" void errorExit(j_common_ptr Info)
{
    auto* Errors = reinterpret_cast<ErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, Errors->Message);
    std::longjmp(Errors->Jump, 1);
}

// A warning means damaged data (a file cut short, a bad marker): the picture is refused rather
// than shown half grey.
extern "C" void emitMessage(j_common_ptr Info, int Level)
{
    if (Level < 0)
        errorExit(Info);
}

struct DecodeState {
    jpeg_decompress_struct Info {};
    ErrorManager Errors;
};

struct EncodeState {
    jpeg_compress_struct Info {};
    ErrorManager Errors;
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
};

void useErrors(ErrorManager& Errors, jpeg_error_mgr*& Err)
{
    Err = jpeg_std_error(&Errors.Pub);
    Errors.Pub.error_exit = errorExit;
    Errors.Pub.emit_message = emitMessage;
}

} // namespace

bool decodeJpeg(std::span<const uint8_t> Data, bool ToGray, int64_t MaxPixels, JpegPixels& Out, std::string& Reason)
{
    Out = JpegPixels();
    const auto State = std::make_unique<DecodeState>();
    jpeg_decompress_struct& Info = State->Info;
    useErrors(State->Errors, Info.err);
    if (setjmp(State->Errors.Jump)) {
        jpeg_destroy_decompress(&Info);
        Out = JpegPixels();
        Reason = State->Errors.Message;
        return false;
    }
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, Data.data(), static_cast<unsigned long>(Data.size()));
    jpeg_read_header(&Info, TRUE);
    if (int64_t(Info.image_width) * Info.image_height > MaxPixels) {
        jpeg_destroy_decompress(&Info);
        Reason = "Picture too large";
        return false;
    }
    Out.Gray = ToGray || Info.jpeg_color_space == JCS_GRAYSCALE;
    Info.out_color_space = Out.Gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&Info);
    const size_t RowBytes = size_t(Info.output_width) * Info.output_components;
    try {
        Out.Bytes.resize(RowBytes * Info.output_height);
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&Info);
        Out = JpegPixels();
        Reason = "Not enough memory for the picture";
        return false;
    }
    Out.Width = int(Info.output_width);
    Out.Height = int(Info.output_height);
    while (Info.output_scanline < Info.output_height) {
        JSAMPROW Row = Out.Bytes.data() + RowBytes * Info.output_scanline;
        jpeg_read_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    return true;
}

bool encodeJpeg(const JpegPixels& In, int Quality, bool Progressive, std::vector<uint8_t>& Out, std::string& Reason)
{
    const auto State = std::make_unique<EncodeState>();
    jpeg_compress_struct& Info = State->Info;
    useErrors(State->Errors, Info.err);
    if (setjmp(State->Errors.Jump)) {
        jpeg_destroy_compress(&Info);
        std::free(State->Buffer);
        Reason = State->Errors.Message;
        return false;
    }
    jpeg_create_compress(&Info);
    jpeg_mem_dest(&Info, &State->Buffer, &State->Size);
    Info.image_width = JDIMENSION(In.Width);
    Info.image_height = JDIMENSION(In.Height);
    Info.input_components = In.Gray ? 1 : 3;
    Info.in_color_space = In.Gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, Quality, TRUE);
    if (Progressive)
        jpeg_simple_progression(&Info);
    jpeg_start_compress(&Info, TRUE);
    const size_t RowBytes = size_t(In.Width) * Info.input_components;
    while (Info.next_scanline < Info.image_height) {
        JSAMPROW Row = const_cast<uint8_t*>(In.Bytes.data()) + RowBytes * Info.next_scanline;
        jpeg_write_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    Out.assign(State->Buffer, State->Buffer + State->Size);
    std::free(State->Buffer);
    return true;
}

} // namespace ui_private
