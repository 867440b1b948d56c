//===- PdfTestSupport.cpp - Writing documents and asking real PDF readers about them -===//
#include "tests/pdf/PdfTestSupport.h"

#include "tests/support/TestSupport.h"

#include "pdf/TPDFDocInfo.h"
#include "pdf/TPDFDocument.h"

#include "platform/rtl/DateUtils.h"

#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pdftest {

ToolResult RunTool(const std::vector<std::string>& Argv)
{
    int Pipe[2];
    if (pipe(Pipe) != 0)
        return {};
    const pid_t Pid = fork();
    if (Pid == 0) {
        dup2(Pipe[1], 1);
        dup2(Pipe[1], 2);
        close(Pipe[0]);
        close(Pipe[1]);
        std::vector<char*> Args;
        for (const std::string& A : Argv)
            Args.push_back(const_cast<char*>(A.c_str()));
        Args.push_back(nullptr);
        execvp(Args[0], Args.data());
        _exit(127);
    }
    close(Pipe[1]);
    ToolResult R;
    char Buffer[4096];
    ssize_t N;
    while ((N = read(Pipe[0], Buffer, sizeof Buffer)) > 0)
        R.Output.append(Buffer, static_cast<size_t>(N));
    close(Pipe[0]);
    int Status = 0;
    waitpid(Pid, &Status, 0);
    R.Status = WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
    return R;
}

void FixClockAndRandom(TPDFDocument& Doc)
{
    SetNowOverride(EncodeDate(2026, 3, 14) + EncodeTime(15, 9, 26, 535));
    Doc.DocumentInfo().CreationDate = EncodeDate(2026, 3, 14) + EncodeTime(15, 9, 26, 0);
    Doc.SetRandomSource([N = 7u]() mutable { return N = N * 1103515245u + 12345u; });
}

std::string WritePdf(const std::string& FileName, const std::function<void(TPDFDocument&)>& Setup,
                     const std::function<void(TPDFDocument&)>& Draw)
{
    TPDFDocument Doc(nullptr);
    FixClockAndRandom(Doc);
    Doc.SetFileName(FileName);
    if (Setup)
        Setup(Doc);
    Doc.BeginDoc();
    if (Draw)
        Draw(Doc);
    Doc.EndDoc();
    SetNowOverride(std::nullopt);
    return testsupport::ReadFile(FileName);
}

std::vector<std::string> CrLfLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    size_t Start = 0;
    for (size_t At; (At = Text.find("\r\n", Start)) != std::string::npos; Start = At + 2)
        Lines.push_back(Text.substr(Start, At - Start));
    if (Start < Text.size())
        Lines.push_back(Text.substr(Start));
    return Lines;
}

std::string ObjectText(const std::string& Pdf, int Number)
{
    const std::string Head = "\r\n" + std::to_string(Number) + " 0 obj\r\n";
    const size_t At = Pdf.find(Head);
    if (At == std::string::npos)
        return {};
    const size_t End = Pdf.find("endobj", At);
    return Pdf.substr(At + 2, End - At - 2);
}

Grey ReadPgm(const std::string& Bytes)
{
    std::istringstream In(Bytes);
    std::string Magic;
    int Max = 0;
    Grey G;
    In >> Magic >> G.Width >> G.Height >> Max;
    In.get();
    G.Pixels = Bytes.substr(static_cast<size_t>(In.tellg()));
    return G;
}

} // namespace pdftest
