#include "application.h"

#include "qt_look.h"
#include "qt_text.h"
#include "window_system.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

namespace forms {

namespace {

// The platform Qt is to use, from QT_QPA_PLATFORM: its names ("a;b", each
// perhaps with ":arguments") without Wayland's, or xcb when none is left. A
// Wayland client cannot place its own window, so the program never is one:
// in a Wayland session it runs through XWayland.
QStringList platformChoices() {
    QStringList names;
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (const QString& entry : asked.split(u';', Qt::SkipEmptyParts)) {
        if (!entry.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive))
            names << entry;
    }
    return names.isEmpty() ? QStringList{QStringLiteral("xcb")} : names;
}

// Where Qt looks for platform plugins: QT_QPA_PLATFORM_PLUGIN_PATH, then the
// "platforms" folder of each of its library paths (QT_PLUGIN_PATH, Qt's own
// plugin folder, the program's folder). Only folders that exist.
QStringList pluginFolders() {
    QStringList folders;
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    QStringList libraryPaths =
        qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    libraryPaths << QLibraryInfo::path(QLibraryInfo::PluginsPath)
                 << QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).path();
    for (const QString& path : libraryPaths)
        folders << path + QStringLiteral("/platforms");
    folders.removeIf([](const QString& folder) { return !QFileInfo(folder).isDir(); });
    folders.removeDuplicates();
    return folders;
}

// Why Qt cannot load the plugin of platform `name` ("xcb"), in a few words;
// empty when it can. Qt itself would abort instead.
QString pluginProblem(const QString& name) {
    const auto offers = [&name](const QJsonObject& meta) {
        if (meta.value(QLatin1String("IID")).toString() !=
            QLatin1String("org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3"))
            return false;
        const QJsonArray keys =
            meta.value(QLatin1String("MetaData"))[QLatin1String("Keys")].toArray();
        return std::any_of(keys.begin(), keys.end(), [&name](const QJsonValue& key) {
            return key.toString().compare(name, Qt::CaseInsensitive) == 0;
        });
    };
    for (const QStaticPlugin& plugin : QPluginLoader::staticPlugins()) {
        if (offers(plugin.metaData()))
            return {};
    }
    const QStringList folders = pluginFolders();
    for (const QString& folder : folders) {
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
            QPluginLoader loader(file.absoluteFilePath());
            if (!offers(loader.metaData()))
                continue;
            if (loader.load())
                return {}; // stays loaded; Qt takes it from here
            return QStringLiteral("Qt cannot load its platform plugin \"%1\": %2")
                .arg(name, loader.errorString().simplified());
        }
    }
    return QStringLiteral("Qt has no platform plugin \"%1\" (looked in %2)")
        .arg(name, folders.isEmpty() ? QStringLiteral("no folder") : folders.join(u", "));
}

// Sets QT_QPA_PLATFORM to the first of the platform choices whose plugin Qt
// can load; returns why none can, in one line, or empty.
QString choosePlatform() {
    QStringList problems;
    for (const QString& entry : platformChoices()) {
        const QString problem = pluginProblem(entry.section(u':', 0, 0));
        if (problem.isEmpty()) {
            qputenv("QT_QPA_PLATFORM", entry.toLocal8Bit());
            return {};
        }
        problems << problem;
    }
    return problems.join(u"; ");
}

// Qt ends the program with qFatal() when its platform fails to start after
// all, in several lines and an abort. While QApplication is made, its
// messages are held back: a fatal one becomes one line and status 1; the
// others are passed on once the application stands.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
std::mutex g_heldMutex;
std::vector<HeldMessage> g_held;
QByteArray g_failureLine; // "vistrum: Qt cannot start its platform \"xcb\""

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::lock_guard lock(g_heldMutex);
    if (type == QtFatalMsg) {
        // Qt's own warning names the cause more closely than its fatal text.
        QString cause = text.section(u'\n', 0, 0);
        for (const HeldMessage& held : g_held) {
            if (held.category.startsWith("qt.qpa"))
                cause = held.text.section(u'\n', 0, 0);
        }
        std::fprintf(stderr, "%s: %s\n", g_failureLine.constData(), qPrintable(cause));
        std::_Exit(1);
    }
    g_held.push_back({type, context.file, context.function, context.category, context.line, text});
}

void prepareEnvironment() {
    // One Qt pixel must be one device pixel, or a preset would not measure
    // its size in real pixels at high DPI.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // A platform theme built on GTK (Qt's gtk3 theme) loads GTK, which starts
    // its own accessibility bridge in the process unless told not to. That
    // bridge registers the program with the accessibility bus as an
    // application without children, in place of the one Qt's bridge
    // publishes, and screen readers then find no control. Qt's own bridge
    // does not read this variable.
    qputenv("NO_AT_BRIDGE", "1");
}

} // namespace

struct Application::Native {
    std::optional<QApplication> app;
};

Application::Application(int& argc, char** argv, const AppInfo& info)
    : m_native(std::make_unique<Native>()) {
    prepareEnvironment();
    // Qt itself would abort without its plugin or a display; say why in one
    // line instead.
    m_problem = qt::fromQString(choosePlatform());
    if (m_problem.empty())
        m_problem = qt::fromQString(ws::displayProblem());
    if (!m_problem.empty())
        return;
    g_failureLine = QStringLiteral("%1: Qt cannot start its platform \"%2\"")
                        .arg(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName(),
                             qEnvironmentVariable("QT_QPA_PLATFORM"))
                        .toLocal8Bit();
    const QtMessageHandler previous = qInstallMessageHandler(holdMessage);
    m_native->app.emplace(argc, argv); // argv is the program's name alone
    qInstallMessageHandler(previous);
    std::vector<HeldMessage> heldMessages;
    {
        const std::lock_guard lock(g_heldMutex);
        heldMessages.swap(g_held);
    }
    for (const HeldMessage& held : heldMessages) {
        const QMessageLogContext context(held.file.constData(), held.line,
                                         held.function.constData(), held.category.constData());
        previous(held.type, context, held.text);
    }
    QApplication::setApplicationName(QString::fromUtf8(info.name));
    QApplication::setApplicationVersion(QString::fromUtf8(info.version));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(info.appId));
    QApplication::setWindowIcon(qt::windowIcon(info.icon));
}

Application::~Application() = default;

int Application::exec() {
    return QApplication::exec();
}

} // namespace forms
