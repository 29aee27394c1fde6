// The floor the program is measured against: the least a Qt Widgets main
// window with a menu bar and one label costs to start, to keep in memory and
// to leave idle. With --menu-height it prints its menu bar's height and ends;
// the program's menu bar has the same menus, style and font, so the
// benchmark places its clicks with it.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0"); // as the program sets it
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    QMenuBar* bar = window.menuBar();
    bar->setNativeMenuBar(false);
    bar->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("E&xit"), &app, &QApplication::quit);
    bar->addMenu(QStringLiteral("&Help"));
    window.setCentralWidget(new QLabel(QStringLiteral("Bare window")));
    if (argc > 1 && std::strcmp(argv[1], "--menu-height") == 0) {
        std::printf("%d\n", bar->sizeHint().height());
        return 0;
    }
    // The client size the program has at 640 x 480 outer pixels under
    // openbox, so that both hold the same window surface.
    window.resize(638, 455);
    window.show();
    return QApplication::exec();
}
