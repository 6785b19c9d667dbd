#include "IniFile.h"

#include "FileReplacement.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool HasLineBreak(const QString& text) { return text.contains(u'\n') || text.contains(u'\r'); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

bool IniFile::Load()
{
    lines_.clear();
    eol_ = "\r\n";
    exists_ = false;
    modified_ = false;
    error_.clear();
    QFileInfo info(path_);
    if (!info.exists()) return true;
    exists_ = true;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = file.errorString();
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error_ = file.errorString();
        return false;
    }
    Parse(bytes);
    return true;
}

void IniFile::Parse(const QByteArray& bytes)
{
    bool eolKnown = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        Line line;
        if (nl < 0) {
            line.text = bytes.mid(start);
            start = bytes.size();
        } else {
            qsizetype end = nl;
            if (end > start && bytes[end - 1] == '\r') --end;
            line.text = bytes.mid(start, end - start);
            line.eol = bytes.mid(end, nl + 1 - end);
            start = nl + 1;
            if (!eolKnown) {
                eol_ = line.eol;
                eolKnown = true;
            }
        }
        Classify(line, lines_.empty());
        lines_.push_back(std::move(line));
    }
}

void IniFile::Classify(Line& line, bool firstLine)
{
    QByteArray text = line.text;
    if (firstLine && text.startsWith(kUtf8Bom)) text = text.mid(kUtf8Bom.size());
    QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#')) return;
    if (trimmed.startsWith('[')) {
        qsizetype close = trimmed.indexOf(']');
        QByteArray name = close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
        line.kind = Kind::Section;
        line.name = QString::fromUtf8(name).trimmed();
        return;
    }
    qsizetype eq = line.text.indexOf('=');
    if (eq < 0) return;
    QString name = QString::fromUtf8(line.text.left(eq));
    if (firstLine && name.startsWith(QChar(0xFEFF))) name.remove(0, 1);
    name = name.trimmed();
    if (name.isEmpty()) return;
    line.kind = Kind::Key;
    line.name = name;
    line.separator = static_cast<int>(eq);
}

int IniFile::FindSection(const QString& section) const
{
    const QString wanted = section.trimmed();
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && SameName(lines_[i].name, wanted)) return static_cast<int>(i);
    return -1;
}

int IniFile::SectionEnd(int header) const
{
    std::size_t i = static_cast<std::size_t>(header) + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
    return static_cast<int>(i);
}

int IniFile::FindKey(int header, const QString& key) const
{
    const QString wanted = key.trimmed();
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        if (line.kind == Kind::Key && SameName(line.name, wanted)) return i;
    }
    return -1;
}

std::optional<QString> IniFile::Value(const QString& section, const QString& key) const
{
    int header = FindSection(section);
    if (header < 0) return std::nullopt;
    int at = FindKey(header, key);
    if (at < 0) return std::nullopt;
    const Line& line = lines_[static_cast<std::size_t>(at)];
    return QString::fromUtf8(line.text.mid(line.separator + 1)).trimmed();
}

QString IniFile::ReadString(const QString& section, const QString& key) const
{
    return Value(section, key).value_or(QString());
}

bool IniFile::HasSection(const QString& section) const { return FindSection(section) >= 0; }

QStringList IniFile::Sections() const
{
    QStringList names;
    for (const Line& line : lines_)
        if (line.kind == Kind::Section && !names.contains(line.name, Qt::CaseInsensitive)) names.append(line.name);
    return names;
}

QStringList IniFile::Keys(const QString& section) const
{
    QStringList names;
    int header = FindSection(section);
    if (header < 0) return names;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Line& line = lines_[static_cast<std::size_t>(i)];
        if (line.kind == Kind::Key && !names.contains(line.name, Qt::CaseInsensitive)) names.append(line.name);
    }
    return names;
}

bool IniFile::IsValidSectionName(const QString& section)
{
    const QString name = section.trimmed();
    return !name.isEmpty() && !name.contains(u']') && !HasLineBreak(name);
}

bool IniFile::IsValidKeyName(const QString& key)
{
    const QString name = key.trimmed();
    return !name.isEmpty() && !name.contains(u'=') && !HasLineBreak(name) && !name.startsWith(u'[') &&
           !name.startsWith(u';') && !name.startsWith(u'#');
}

bool IniFile::IsValidValue(const QString& value) { return !HasLineBreak(value); }

void IniFile::Touch() { modified_ = true; }

QByteArray IniFile::LineEndBefore(int at) const
{
    for (int i = at - 1; i >= 0; --i) {
        const QByteArray& eol = lines_[static_cast<std::size_t>(i)].eol;
        if (!eol.isEmpty()) return eol;
    }
    return eol_;
}

void IniFile::InsertLine(int at, const QByteArray& text)
{
    // A new line ends like the lines above it; the line before it needs a line end of its own when
    // it was the file's last.
    const QByteArray eol = LineEndBefore(at);
    if (at > 0) {
        Line& before = lines_[static_cast<std::size_t>(at - 1)];
        if (before.eol.isEmpty()) before.eol = eol;
    }
    Line line;
    line.text = text;
    line.eol = eol;
    Classify(line, at == 0);
    lines_.insert(lines_.begin() + at, std::move(line));
}

bool IniFile::SetValue(const QString& section, const QString& key, const QString& value)
{
    if (!IsValidSectionName(section) || !IsValidKeyName(key) || !IsValidValue(value)) {
        error_ = QStringLiteral("invalid name or value for [%1] %2").arg(section, key);
        return false;
    }
    const QByteArray valueBytes = value.toUtf8();
    int header = FindSection(section);
    if (header < 0) {
        const int end = static_cast<int>(lines_.size());
        InsertLine(end, "[" + section.trimmed().toUtf8() + "]");
        InsertLine(end + 1, key.trimmed().toUtf8() + "=" + valueBytes);
        Touch();
        return true;
    }
    int at = FindKey(header, key);
    if (at >= 0) {
        Line& line = lines_[static_cast<std::size_t>(at)];
        // The same value leaves the line as it stands, blanks and all.
        if (QString::fromUtf8(line.text.mid(line.separator + 1)).trimmed() == value) return true;
        // Keep the key as spelt, the "=" and the blanks after it; only the value changes.
        qsizetype keep = line.separator + 1;
        while (keep < line.text.size() && IsBlank(line.text[keep])) ++keep;
        QByteArray text = line.text.left(keep) + valueBytes;
        if (text != line.text) {
            line.text = text;
            Touch();
        }
        return true;
    }
    int after = header;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (lines_[static_cast<std::size_t>(i)].kind == Kind::Key) after = i;
    InsertLine(after + 1, key.trimmed().toUtf8() + "=" + valueBytes);
    Touch();
    return true;
}

bool IniFile::AddSection(const QString& section)
{
    if (!IsValidSectionName(section)) {
        error_ = QStringLiteral("invalid section name %1").arg(section);
        return false;
    }
    if (FindSection(section) >= 0) return true;
    InsertLine(static_cast<int>(lines_.size()), "[" + section.trimmed().toUtf8() + "]");
    Touch();
    return true;
}

bool IniFile::RemoveKey(const QString& section, const QString& key)
{
    int header = FindSection(section);
    if (header < 0) return false;
    bool removed = false;
    for (int at = FindKey(header, key); at >= 0; at = FindKey(header, key)) {
        lines_.erase(lines_.begin() + at);
        removed = true;
    }
    if (removed) Touch();
    return removed;
}

bool IniFile::RemoveSection(const QString& section)
{
    bool removed = false;
    for (int header = FindSection(section); header >= 0; header = FindSection(section)) {
        lines_.erase(lines_.begin() + header, lines_.begin() + SectionEnd(header));
        removed = true;
    }
    if (removed) Touch();
    return removed;
}

QByteArray IniFile::Bytes() const
{
    QByteArray bytes;
    for (const Line& line : lines_) bytes += line.text + line.eol;
    return bytes;
}

bool IniFile::Save()
{
    FileReplacement file(path_);
    if (!file.Open() || !file.Write(Bytes()) || !file.Commit()) {
        error_ = file.ErrorText();
        return false;
    }
    exists_ = true;
    modified_ = false;
    return true;
}
