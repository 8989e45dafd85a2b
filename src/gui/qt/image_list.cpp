#include "gui/qt/image_list.h"

#include <QStringList>

static void initKespResources() {
    Q_INIT_RESOURCE(kesp);
}

namespace kesp {

namespace {

struct ImageSource {
    QStringList themeNames; // tried in order
    const char* bundled;
};

const ImageSource& imageSource(int position) {
    static const ImageSource sources[5] = {
        {{QStringLiteral("document-save"), QStringLiteral("media-floppy")}, ":/kesp/floppy.png"},
        {{QStringLiteral("document-print"), QStringLiteral("printer")}, ":/kesp/printer.png"},
        {{QStringLiteral("help-browser"), QStringLiteral("help-contents")}, ":/kesp/question.png"},
        {{}, nullptr},
        {{QStringLiteral("configure"), QStringLiteral("preferences-system")}, ":/kesp/spanner.png"},
    };
    return sources[position - 1];
}

// Without a desktop session Qt knows no theme; the installed Adwaita is the usual one.
void chooseTheme() {
    static bool done = false;
    if (done) return;
    done = true;
    initKespResources();
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

} // namespace

QIcon programIcon() {
    chooseTheme();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/kesp/kesp-%1.png").arg(size), QSize(size, size));
    return icon;
}

QIcon bundledImage(int position) {
    chooseTheme();
    if (position < 1 || position > 5) return {};
    if (position == 4) return programIcon();
    return QIcon(QString::fromLatin1(imageSource(position).bundled));
}

QIcon planImage() {
    chooseTheme();
    return QIcon(QStringLiteral(":/kesp/plan.png"));
}

ImageList1::ImageList1(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("ImageList1"));
    chooseTheme();
    for (int position = 1; position <= 5; ++position) {
        QIcon icon;
        for (const QString& name : imageSource(position).themeNames) {
            if (QIcon::hasThemeIcon(name)) {
                icon = QIcon::fromTheme(name);
                break;
            }
        }
        if (icon.isNull() || icon.pixmap(16, 16).isNull()) icon = bundledImage(position);
        images_.push_back(icon);
    }
}

QIcon ImageList1::image(int position) const {
    if (position < 1 || position > count()) return {};
    return images_[static_cast<std::size_t>(position - 1)];
}

} // namespace kesp
