// A platform plugin with the platform plugins' interface id and the key
// "broken": Qt finds it and loads it, but its object is no platform
// integration plugin, so Qt cannot start the platform from it.

#include <QObject>
#include <QtPlugin>

class BrokenPlatform : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformIntegrationFactoryInterface.5.3" FILE
                          "broken_platform.json")
};

#include "broken_platform.moc"
