#include "ImageLists.h"

#include "CommandImage.h"

#include <QDir>
#include <QHash>
#include <QStandardPaths>
#include <QStringList>

namespace ImageLists {

namespace {

struct Picture {
    int Index;
    const char* Name;
};

// The frame's image list: index, theme name.
constexpr Picture FrameImages[] = {
    {CommandImage::NewQuery, "document-new"},
    {CommandImage::OpenScript, "document-open"},
    {CommandImage::SaveScript, "document-save"},
    {CommandImage::Cut, "edit-cut"},
    {CommandImage::Paste, "edit-paste"},
    {CommandImage::Find, "edit-find"},
    {CommandImage::Replace, "edit-find-replace"},
    {CommandImage::GridDisplay, "x-office-spreadsheet"},
    {CommandImage::Undo, "edit-undo"},
    {CommandImage::Redo, "edit-redo"},
    {CommandImage::TextDisplay, "text-x-generic"},
    {CommandImage::Stop, "process-stop"},
    {CommandImage::Export, "document-save-as"},
    {CommandImage::About, "help-browser"},
    {CommandImage::Exit, "system-log-out"},
    {CommandImage::Copy, "edit-copy"},
    {CommandImage::Font, "preferences-desktop-font"},
    {CommandImage::Refresh, "view-refresh"},
    {CommandImage::FileDisplay, "media-floppy"},
    {CommandImage::Running, "go-next"},
};

constexpr Picture ResultPageImages[] = {
    {ResultPageImage, "x-office-spreadsheet"},
    {MessagesPageImage, "dialog-information"},
};

template <std::size_t N>
const char* NameOf(const Picture (&table)[N], int index)
{
    for (const Picture& p : table)
        if (p.Index == index) return p.Name;
    return nullptr;
}

QIcon Themed(const char* name)
{
    if (!name) return QIcon();
    UseIconTheme();
    // Looking a name up walks the theme's folders: each picture is looked up once.
    static QHash<QString, QIcon> cache;
    const QString key = QString::fromLatin1(name);
    auto it = cache.find(key);
    if (it == cache.end()) it = cache.insert(key, QIcon::fromTheme(key));
    return *it;
}

} // namespace

void UseIconTheme()
{
    static bool done = false;
    if (done) return;
    done = true;
    QStringList paths = QIcon::themeSearchPaths();
    QStringList folders = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                    QStandardPaths::LocateDirectory);
    folders << QStringLiteral("/usr/local/share/icons") << QStringLiteral("/usr/share/icons");
    for (const QString& folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (!paths.contains(clean) && QDir(clean).exists()) paths << clean;
    }
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(QString::fromLatin1(ThemeName));
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
}

const char* ImageList1Name(int index) { return NameOf(FrameImages, index); }

QIcon ImageList1(int index) { return Themed(ImageList1Name(index)); }

QIcon ImageList_forshowresult(int index) { return Themed(NameOf(ResultPageImages, index)); }

QIcon ConnectDialogPicture() { return Themed("network-server"); }

QIcon OptionsDialogPicture() { return Themed("preferences-system"); }

} // namespace ImageLists
