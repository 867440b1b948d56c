//===- backend_test.cpp - What a backend is told, and contexts on images -===//
//
// A recording backend (the metafile recorder) must learn every object it has to create, every
// deletion, attribute, transform, save, restore and clip change, and each primitive with its
// logical coordinates. A recorder stub here writes down what it is told.
//
#include "DcTestSupport.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/fonts/FontEngine.h"
#include "platform/gdi/dc/GdiObjects_p.h"
#include "platform/gdi/dc/GuiApplication_p.h"
#include "platform/gdi/raster/RasterBackend_p.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string text(const RECT& R)
{
    return std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + ","
           + std::to_string(R.bottom);
}

class Recorder : public NullBackend {
public:
    std::vector<std::string>& log;
    explicit Recorder(std::vector<std::string>& Log) : log(Log) {}

    static std::string kind(const GdiObject& O)
    {
        std::string k = O.type() == OBJ_PEN     ? "pen"
                        : O.type() == OBJ_BRUSH ? "brush"
                        : O.type() == OBJ_FONT  ? "font"
                                                : "?";
        return O.isStock() ? k + " stock " + std::to_string(O.stockIndex()) : k;
    }
    void objectSelected(const DcState&, const GdiObject& O) override { log.push_back("select " + kind(O)); }
    void objectDeleted(const GdiObject& O) override { log.push_back("delete " + kind(O)); }
    void attributeChanged(const DcState& S, DcAttribute A) override
    {
        if (A == DcAttribute::TextColor)
            log.push_back("text colour " + std::to_string(S.textColor));
        else
            log.push_back("attribute " + std::to_string(int(A)));
    }
    void worldTransformChanged(const DcState&, const XFORM& X, int Mode) override
    {
        log.push_back("transform " + std::to_string(Mode) + " " + std::to_string(int(X.eM11)));
    }
    void positionMoved(const DcState& S) override
    {
        log.push_back("move " + std::to_string(S.position.x) + "," + std::to_string(S.position.y));
    }
    void saved(const DcState&) override { log.push_back("save"); }
    void restored(const DcState&, int Relative) override { log.push_back("restore " + std::to_string(Relative)); }
    void clipIntersected(const DcState&, const RECT& R) override { log.push_back("clip " + text(R)); }
    void clipRegionSelected(const DcState&, const QRegion* R, int Mode) override
    {
        log.push_back("clip region " + std::to_string(R ? R->rectCount() : -1) + " mode " + std::to_string(Mode));
    }
    void lineTo(const DcState&, POINT From, POINT To) override
    {
        log.push_back("line " + std::to_string(From.x) + "," + std::to_string(From.y) + " " + std::to_string(To.x) + ","
                      + std::to_string(To.y));
    }
    void rectangle(const DcState&, const RECT& R) override { log.push_back("rectangle " + text(R)); }
    void arc(const DcState&, ArcKind K, const RECT& R, POINT, POINT) override
    {
        log.push_back(std::string(K == ArcKind::Pie ? "pie " : "arc ") + text(R));
    }
    void textOut(const DcState&, const TextRun& T) override
    {
        std::string s = "text " + std::string(T.text) + " at " + std::to_string(T.reference.x) + " dx";
        for (int d : T.dx)
            s += " " + std::to_string(d);
        log.push_back(s);
    }
    void patBlt(const DcState&, const RECT& R, uint32_t Rop) override
    {
        log.push_back("patblt " + text(R) + " " + std::to_string(Rop));
    }
    void stretchBlt(const DcState&, const RECT& D, const BlitSource& S, uint32_t Rop) override
    {
        log.push_back("blt " + text(D) + " from " + text(S.rect) + " " + std::to_string(Rop)
                      + (S.dc && S.dc->backend().surface(S.dc->state()) ? " with pixels" : ""));
    }
};

class Backend : public ::testing::Test {
protected:
    void SetUp() override
    {
        dc = CreateDeviceContext(DeviceContext::Kind::Metafile, std::make_unique<Recorder>(log), DeviceCaps {});
    }
    void TearDown() override { DeleteDC(dc); }

    std::vector<std::string> log;
    HDC dc = nullptr;
};

} // namespace

TEST_F(Backend, SelectionsAndDeletionsReachTheBackend)
{
    EXPECT_EQ(GetObjectType(dc), OBJ_ENHMETADC);
    HPEN pen = CreatePen(PS_SOLID, 2, 0);
    SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    DeleteObject(pen); // still selected: deferred, but a recorder writes its record now
    SelectObject(dc, GetStockObject(BLACK_PEN));
    EXPECT_EQ(log,
              (std::vector<std::string> { "select pen", "select brush stock 5", "delete pen", "select pen stock 7" }));
}

TEST_F(Backend, StateChangesArriveWithTheirNewValues)
{
    SetTextColor(dc, 77);
    SetTextColor(nullptr, 78);
    SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    XFORM twice { 2, 0, 0, 2, 0, 0 };
    ModifyWorldTransform(dc, &twice, MWT_LEFTMULTIPLY);
    MoveToEx(dc, 3, 4, nullptr);
    IntersectClipRect(dc, 1, 2, 30, 40);
    SelectClipRgn(dc, nullptr);
    RestoreDC(dc, -1);
    EXPECT_EQ(log, (std::vector<std::string> {
                       "text colour 77", "save", "attribute " + std::to_string(int(DcAttribute::GraphicsMode)),
                       "transform 2 2", "move 3,4", "clip 1,2,30,40", "clip region -1 mode 5", "restore -1" }));
}

TEST_F(Backend, PrimitivesCarryLogicalCoordinates)
{
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportExtEx(dc, 3, 3, nullptr);
    log.clear();
    MoveToEx(dc, 1, 1, nullptr);
    LineTo(dc, 10, 20);
    Rectangle(dc, 5, 6, 7, 8);
    Pie(dc, 0, 0, 10, 10, 10, 5, 10, 5);
    EXPECT_EQ(log, (std::vector<std::string> { "move 1,1", "line 1,1 10,20", "rectangle 5,6,7,8", "pie 0,0,10,10" }));
}

TEST_F(Backend, RectangleFillsAreBrushSelectionsAroundAPatternBlit)
{
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, RECT { 1, 2, 3, 4 }, red);
    DeleteObject(red);
    EXPECT_EQ(log, (std::vector<std::string> { "select brush", "patblt 1,2,3,4 " + std::to_string(PATCOPY),
                                               "select brush stock 0", "delete brush" }));
}

TEST_F(Backend, TextArrivesWithOneAdvancePerCharacter)
{
    HFONT font = CreateFontIndirect(gditest::logFont("Arial", -20));
    SelectObject(dc, font);
    log.clear();
    TextOut(dc, 12, 0, "AV");
    auto realized = RealizedFont::Realize(gditest::logFont("Arial", -20));
    // A metafile's text stands at the face's own advances (FontEngine.h).
    const std::vector<int> dx = realized->DesignAdvances("AV");
    EXPECT_EQ(log,
              (std::vector<std::string> { "text AV at 12 dx " + std::to_string(dx[0]) + " " + std::to_string(dx[1]) }));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

TEST_F(Backend, BlitsNameTheirSourceContextAndItsPixels)
{
    gditest::Canvas source(8, 8);
    log.clear(); // the canvas's own bitmap object was deleted into every context's ears
    BitBlt(dc, 1, 2, 3, 4, source.dc(), 5, 6, SRCCOPY);
    PatBlt(dc, 0, 0, 2, 2, PATINVERT);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY)) << "a source operation needs a source";
    EXPECT_EQ(log, (std::vector<std::string> { "blt 1,2,4,6 from 5,6,8,10 " + std::to_string(SRCCOPY) + " with pixels",
                                               "patblt 0,0,2,2 " + std::to_string(PATINVERT) }));
}

TEST(ImageContexts, DrawOnTheImageWithOpaquePixels)
{
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(0);
    DeviceCaps caps;
    caps.logPixelsX = caps.logPixelsY = 300;
    HDC dc = CreateImageDC(image, caps);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, RECT { 2, 2, 5, 5 }, blue);
    DeleteObject(blue);
    EXPECT_EQ(image.pixel(3, 3), qRgba(0, 0, 255, 255));
    EXPECT_EQ(image.pixel(5, 5), 0u);
    EXPECT_EQ(GetPixel(dc, 2, 4), RGB(0, 0, 255));
    EXPECT_EQ(SelectObject(dc, CreateCompatibleBitmap(dc, 2, 2)), nullptr) << "only memory contexts take bitmaps";
    DeleteDC(dc);
}

TEST(GuiApplication, IsCreatedOnFirstNeedAndKept)
{
    if (!QGuiApplication::instance()) {
        EnsureGuiApplication();
        ASSERT_NE(QGuiApplication::instance(), nullptr);
    }
    QCoreApplication* first = QCoreApplication::instance();
    EnsureGuiApplication();
    EXPECT_EQ(QCoreApplication::instance(), first);
    EXPECT_NE(qobject_cast<QGuiApplication*>(first), nullptr);
}
