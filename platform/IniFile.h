// An INI file read and edited in place: section and key names match without regard to case, values
// are trimmed, and an edit touches only its own line, so comments, blank lines, order and line ends
// survive byte for byte. Text is UTF-8.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class IniFile {
public:
    explicit IniFile(QString path);

    const QString& Path() const { return path_; }
    // Where the next Save writes; the loaded text stays as it is.
    void SetPath(const QString& path) { path_ = path; }

    // Reads the file. A missing file loads as empty (Exists() false) and succeeds; an existing file
    // that cannot be read fails, and the object is then left empty.
    bool Load();
    bool Exists() const { return exists_; }

    // The value of the first matching key of the first matching section; nullopt when missing.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    // The value, or the empty text when the key is missing.
    QString ReadString(const QString& section, const QString& key) const;

    bool HasSection(const QString& section) const;
    QStringList Sections() const;
    QStringList Keys(const QString& section) const;

    // Edits in memory. SetValue replaces the value on the key's own line, or adds the key after the
    // last key of its section, or adds the section at the end; it fails (nothing changes) when a name
    // or the value cannot be stored in the format (see the validators below).
    bool SetValue(const QString& section, const QString& key, const QString& value);
    // Adds an empty section at the end unless it is there.
    bool AddSection(const QString& section);
    // Both return whether something was removed.
    bool RemoveKey(const QString& section, const QString& key);
    bool RemoveSection(const QString& section);

    bool Modified() const { return modified_; }
    // The file's text as it would be saved.
    QByteArray Bytes() const;

    // Writes the text to a temporary file in the target's folder and renames it over the target;
    // the target is untouched when anything fails.
    bool Save();

    // The reason of the last failed Load, Save or edit.
    const QString& ErrorText() const { return error_; }

    static bool IsValidSectionName(const QString& section);
    static bool IsValidKeyName(const QString& key);
    static bool IsValidValue(const QString& value);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray text;  // without its line end
        QByteArray eol;   // "\r\n", "\n" or empty for a last line without one
        Kind kind = Kind::Other;
        QString name;     // section or key name, trimmed
        int separator = -1; // byte index of "=" in a key line
    };

    void Parse(const QByteArray& bytes);
    static void Classify(Line& line, bool firstLine);
    int FindSection(const QString& section) const;
    int SectionEnd(int header) const;
    int FindKey(int header, const QString& key) const;
    QByteArray LineEndBefore(int at) const;
    void InsertLine(int at, const QByteArray& text);
    void Touch();

    QString path_;
    std::vector<Line> lines_;
    QByteArray eol_ = "\r\n"; // the first line end of the file, CR LF for a new one
    bool exists_ = false;
    bool modified_ = false;
    QString error_;
};
