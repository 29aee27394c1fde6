// The embedded icons and the generated version header, as a program that links
// the vistrum_resources static library sees them, and the window icon the
// forms layer makes of them.
#include "qt_look.h"
#include "vistrum_version.h"

#include <QImage>
#include <QString>
#include <QtTest>

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void embeddedPicturesLoad_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size");
        QTest::newRow("16") << QStringLiteral(":/icons/vistrum-16.png") << 16;
        QTest::newRow("32") << QStringLiteral(":/icons/vistrum-32.png") << 32;
        QTest::newRow("48") << QStringLiteral(":/icons/vistrum-48.png") << 48;
        QTest::newRow("64") << QStringLiteral(":/icons/vistrum-64.png") << 64;
    }

    void embeddedPicturesLoad() {
        QFETCH(QString, path);
        QFETCH(int, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(" is not embedded")));
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, size - 1)), 0);
    }

    void appIconHasEverySize() {
        const QIcon icon = forms::qt::windowIcon("vistrum");
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
        // Each size is drawn from its own picture, not scaled from the other.
        const QImage small = icon.pixmap(QSize(16, 16)).toImage();
        QCOMPARE(small.convertToFormat(QImage::Format_ARGB32),
                 QImage(QStringLiteral(":/icons/vistrum-16.png"))
                     .convertToFormat(QImage::Format_ARGB32));
    }

    void versionStringsAgreeWithTheNumbers() {
        using namespace vistrum::version;
        QCOMPARE(QString::fromLatin1(full),
                 QStringLiteral("%1.%2.%3.%4").arg(major).arg(minor).arg(patch).arg(tweak));
        QCOMPARE(QString::fromLatin1(display),
                 QStringLiteral("%1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0')));
        QCOMPARE(QString::fromLatin1(productName), QStringLiteral("Vistrum"));
        QVERIFY(QString::fromLatin1(appId).endsWith(QStringLiteral(".Vistrum")));
    }
};

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
