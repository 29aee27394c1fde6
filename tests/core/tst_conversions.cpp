// Str, Hex, Right, checked arithmetic, the loop counter and twips/pixels, with
// the values that tend to go wrong, faults that only happen at run time and a
// screen that reports nonsense.
#include "checked.h"
#include "conversions.h"
#include "runtime_error.h"
#include "screen.h"
#include "scripted.h"

#include <QtTest>
#include <cfloat>
#include <functional>
#include <limits>

using namespace forms;
using Action = std::function<void()>;
Q_DECLARE_METATYPE(Action)

namespace {

// Values read through volatile so that the compiler cannot fold the faulty
// arithmetic away: the faults must happen at run time, as in a handler.
volatile Single g_zero = 0.0F;
volatile Single g_one = 1.0F;
volatile Single g_max = FLT_MAX;

} // namespace

class ConversionsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { scripted_test::scriptedPlatform().reset(); }
    void cleanup() { Screen().fakeTwipsPerPixel(std::nullopt); }

    void str_data() {
        QTest::addColumn<Single>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 640.0F << "640";
        QTest::newRow("negative whole") << -25.0F << "-25";
        QTest::newRow("zero") << 0.0F << "0";
        QTest::newRow("negative zero") << -0.0F << "0";
        QTest::newRow("one third") << 1.0F / 3.0F << "0.3333333";
        QTest::newRow("two thirds rounds up") << 2.0F / 3.0F << "0.6666667";
        QTest::newRow("pi to seven digits") << 3.14159265F << "3.141593";
        QTest::newRow("single 0.1 not widened") << 0.1F << "0.1";
        QTest::newRow("seven digit whole") << 1234567.0F << "1234567";
        QTest::newRow("ten million") << 1.0e7F << "1E+07";
        QTest::newRow("eight digits round") << 12345678.0F << "1.234568E+07";
        QTest::newRow("negative ten million") << -1.0e7F << "-1E+07";
        QTest::newRow("small fixed") << 0.0001F << "0.0001";
        QTest::newRow("small exponent") << 0.00001F << "1E-05";
    }

    void str() {
        QFETCH(Single, value);
        QFETCH(QString, text);
        QCOMPARE(Str(value), text);
    }

    void hex_data() {
        QTest::addColumn<Long>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("255") << Long{255} << "FF";
        QTest::newRow("zero") << Long{0} << "0";
        QTest::newRow("no leading zeros") << Long{0x00ABCDEF} << "ABCDEF";
        QTest::newRow("sign bit set") << static_cast<Long>(0x8000000FU) << "8000000F";
        QTest::newRow("minus one") << Long{-1} << "FFFFFFFF";
        QTest::newRow("minus 256") << Long{-256} << "FFFFFF00";
        QTest::newRow("most negative") << std::numeric_limits<Long>::min() << "80000000";
        QTest::newRow("most positive") << std::numeric_limits<Long>::max() << "7FFFFFFF";
    }

    void hex() {
        QFETCH(Long, value);
        QFETCH(QString, text);
        QCOMPARE(Hex(value), text);
    }

    void right_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Long>("n");
        QTest::addColumn<QString>("result");
        QTest::newRow("tail") << "640 x 480" << Long{3} << "480";
        QTest::newRow("exact length") << "Hello" << Long{5} << "Hello";
        QTest::newRow("shorter text") << "Hi" << Long{5} << "Hi";
        QTest::newRow("n zero") << "Hello" << Long{0} << "";
        QTest::newRow("empty text") << "" << Long{2} << "";
        QTest::newRow("largest n") << "abc" << std::numeric_limits<Long>::max() << "abc";
        QTest::newRow("non-ascii") << QString::fromUtf8("Größe") << Long{3} << "öße";
    }

    void right() {
        QFETCH(QString, text);
        QFETCH(Long, n);
        QFETCH(QString, result);
        QCOMPARE(Right(String(text.toStdString()), n), result);
    }

    // Each row must raise the given runtime error (-1: any), with the screen
    // reporting the given twips per pixel (-1: the real value).
    void faults_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<Single>("twipsPerPixel");
        QTest::addColumn<int>("number");
        const Single real = -1.0F;
        const Single inf = std::numeric_limits<Single>::infinity();
        const Single nan = std::numeric_limits<Single>::quiet_NaN();
        QTest::newRow("Right, negative n") << Action([] { Right("abc", -1); }) << real << 5;
        QTest::newRow("Str of infinity") << Action([inf] { Str(inf); }) << real << -1;
        QTest::newRow("checked NaN") << Action([nan] { checked(nan); }) << real << 16;
        QTest::newRow("checked 0/0") << Action([] { checked(g_zero / g_zero); }) << real << 16;
        QTest::newRow("checked 1/0") << Action([] { checked(g_one / g_zero); }) << real << 11;
        QTest::newRow("checked -1/0") << Action([] { checked(-g_one / g_zero); }) << real << 11;
        QTest::newRow("checked FLT_MAX*2") << Action([] { checked(g_max * 2.0F); }) << real << 6;
        QTest::newRow("checked -FLT_MAX*2") << Action([] { checked(-g_max * 2.0F); }) << real << 6;
        QTest::newRow("overflow after a checked division by zero") << Action([] {
            QCOMPARE(errorNumberOf([] { checked(g_one / g_zero); }), 11);
            checked(g_max * 2.0F);
        }) << real << 6;
        // A division by zero whose infinite result never reached checked
        // must not make a later overflow look like a division by zero.
        QTest::newRow("overflow after an unchecked division by zero") << Action([] {
            volatile Single unused = g_one / g_zero;
            (void)unused;
            checked(g_max * 2.0F);
        }) << real << 6;
        QTest::newRow("counter past 32767")
            << Action([] { forms::nextCounter(32767); }) << real << 6;
        QTest::newRow("pixelsX 1e30") << Action([] { pixelsX(1.0e30F); }) << real << 6;
        QTest::newRow("pixelsY -1e30") << Action([] { pixelsY(-1.0e30F); }) << real << 6;
        QTest::newRow("pixelsX FLT_MAX") << Action([] { pixelsX(FLT_MAX); }) << real << 6;
        QTest::newRow("pixelsX past int") << Action([] { pixelsX(4.0e10F); }) << real << 6;
        QTest::newRow("pixelsX infinity") << Action([inf] { pixelsX(inf); }) << real << 6;
        QTest::newRow("pixelsX NaN") << Action([nan] { pixelsX(nan); }) << real << 16;
        QTest::newRow("zero tpp, pixelsX") << Action([] { pixelsX(1500.0F); }) << 0.0F << 11;
        QTest::newRow("zero tpp, pixelsY") << Action([] { pixelsY(-1500.0F); }) << 0.0F << 11;
        QTest::newRow("zero tpp, zero twips") << Action([] { pixelsX(0.0F); }) << 0.0F << -1;
    }

    void faults() {
        QFETCH(Action, action);
        QFETCH(Single, twipsPerPixel);
        QFETCH(int, number);
        if (twipsPerPixel >= 0)
            Screen().fakeTwipsPerPixel(twipsPerPixel);
        const int raised = errorNumberOf(action);
        if (number < 0)
            QVERIFY2(raised != 0, "no runtime error raised");
        else
            QCOMPARE(raised, number);
    }

    // One step short of the limit is still allowed, at either end.
    void counterStopsOnlyPast32767() {
        QCOMPARE(int{forms::nextCounter(32766)}, 32767);
        QCOMPARE(int{forms::nextCounter(-32768)}, -32767);
    }

    // At every DPI a desktop offers, a whole number of pixels goes to twips
    // and back, divided by the screen's twips per pixel as the handlers do,
    // without a hair lost: 956 pixels read 956 at 168 DPI, not 955.9999.
    void wholePixelsReadBackWhole_data() {
        QTest::addColumn<double>("dpi");
        for (const int dpi : {96, 108, 120, 132, 144, 168, 192, 216, 240, 288})
            QTest::newRow(qPrintable(QString::number(dpi))) << double(dpi);
        QTest::newRow("97, a hand-set DPI") << 97.0;
    }

    void wholePixelsReadBackWhole() {
        QFETCH(double, dpi);
        scripted_test::scriptedPlatform().setDpi(dpi);
        const Single perPixelX = Screen().TwipsPerPixelX();
        const Single perPixelY = Screen().TwipsPerPixelY();
        QVERIFY(qAbs(perPixelX - 1440.0 / dpi) <= 1.0 / 128);
        for (int pixels = 1; pixels <= 4000; ++pixels) {
            const Single x = twipsX(pixels) / perPixelX;
            const Single y = twipsY(pixels) / perPixelY;
            if (x != Single(pixels) || y != Single(pixels) || Str(x) != number(pixels) ||
                pixelsX(twipsX(pixels)) != pixels)
                QFAIL(qPrintable(QStringLiteral("%1 pixels read %2 x %3")
                                     .arg(pixels)
                                     .arg(double(x), 0, 'g', 9)
                                     .arg(double(y), 0, 'g', 9)));
        }
    }

    // Twips to pixels rounds to the nearest pixel at any resolution.
    void pixelsFromTwips_data() {
        QTest::addColumn<Single>("twipsPerPixel");
        QTest::addColumn<Single>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("inch at 96 dpi") << 15.0F << 1440.0F << 96;
        QTest::newRow("inch at 120 dpi") << 12.0F << 1440.0F << 120;
        QTest::newRow("inch at 144 dpi") << 10.0F << 1440.0F << 144;
        QTest::newRow("below half a pixel") << 15.0F << 7.0F << 0;
        QTest::newRow("above half a pixel") << 15.0F << 8.0F << 1;
        QTest::newRow("half a pixel") << 15.0F << 7.5F << 1;
        QTest::newRow("negative half a pixel") << 15.0F << -7.5F << -1;
        QTest::newRow("negative") << 12.0F << -1440.0F << -120;
        QTest::newRow("1280 pixels at 120 dpi") << 12.0F << 15360.0F << 1280;
        QTest::newRow("1024 pixels at 144 dpi") << 10.0F << 10240.0F << 1024;
        QTest::newRow("largest allowed") << 15.0F << 1.5e7F << 1000000;
    }

    void pixelsFromTwips() {
        QFETCH(Single, twipsPerPixel);
        QFETCH(Single, twips);
        QFETCH(int, pixels);
        Screen().fakeTwipsPerPixel(twipsPerPixel);
        QCOMPARE(pixelsX(twips), pixels);
        QCOMPARE(pixelsY(twips), pixels);
        // Whole pixels survive the way to twips and back.
        const Single exact = static_cast<Single>(pixels) * twipsPerPixel;
        QCOMPARE(twipsX(pixels), exact);
        QCOMPARE(twipsY(pixels), exact);
        QCOMPARE(pixelsX(twipsX(pixels)), pixels);
        QCOMPARE(pixelsY(twipsY(pixels)), pixels);
    }
};

QTEST_APPLESS_MAIN(ConversionsTest)
#include "tst_conversions.moc"
