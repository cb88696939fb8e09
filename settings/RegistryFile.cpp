#include "settings/RegistryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace zentimo {

namespace {

const QString kHive = QStringLiteral("HKEY_CURRENT_USER");
const QByteArray kOwnHeader = RegistryFile::kHeader;
const QByteArray kFutureHeaderPrefix = "Zentimo Registry Version ";
const QByteArray kRegedit4 = "REGEDIT4";
const QByteArray kRegedit5 = "Windows Registry Editor Version 5.00";

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString fullKeyName(const QString& keyPath)
{
    return kHive + QLatin1Char('\\') + keyPath;
}

// Key names cannot hold the separator twice in a row or anything a header line cannot carry.
bool isUsableKeyPath(const QString& keyPath)
{
    if (keyPath.isEmpty() || keyPath.startsWith(QLatin1Char('\\')) || keyPath.endsWith(QLatin1Char('\\')) ||
        keyPath.contains(QLatin1String("\\\\")))
        return false;
    for (QChar c : keyPath) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return keyPath.isValidUtf16();
}

QString escaped(const QString& s)
{
    QString out;
    out.reserve(s.size() + 8);
    for (QChar c : s) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QLatin1String("\\x") +
                       QString::number(c.unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
            else
                out += c;
        }
    }
    return out;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// One escape as escaped() writes it, pos just after the backslash; pos ends after the escape.
bool readEscape(QStringView line, qsizetype& pos, QString& out)
{
    if (pos >= line.size())
        return false;
    const QChar e = line[pos++];
    switch (e.unicode()) {
    case '\\':
    case '"':
        out += e;
        return true;
    case 'n':
        out += QLatin1Char('\n');
        return true;
    case 'r':
        out += QLatin1Char('\r');
        return true;
    case 't':
        out += QLatin1Char('\t');
        return true;
    case 'x': {
        if (pos + 2 > line.size())
            return false;
        const int hi = hexDigit(line[pos]);
        const int lo = hexDigit(line[pos + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += QChar(char16_t(hi * 16 + lo));
        pos += 2;
        return true;
    }
    default:
        return false;
    }
}

// Reads a quoted string starting at pos (on the opening quote); pos ends after the closing quote.
bool readQuoted(QStringView line, qsizetype& pos, QString& out)
{
    if (pos >= line.size() || line[pos] != QLatin1Char('"'))
        return false;
    ++pos;
    out.clear();
    while (pos < line.size()) {
        const QChar c = line[pos++];
        if (c == QLatin1Char('"'))
            return true;
        if (c != QLatin1Char('\\'))
            out += c;
        else if (!readEscape(line, pos, out))
            return false;
    }
    return false;
}

void skipBlanks(QStringView line, qsizetype& pos)
{
    while (pos < line.size() && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
        ++pos;
}

bool isHexList(QStringView s)
{
    for (QChar c : s) {
        if (hexDigit(c) < 0 && c != QLatin1Char(',') && c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

// Data that regedit writes for values other than plain text: dword:XXXXXXXX, hex:.. and hex(N):..
bool isOtherData(QStringView data, bool& continues)
{
    continues = false;
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QStringView digits = data.mid(6).trimmed();
        return !digits.isEmpty() && digits.size() <= 8 && isHexList(digits) &&
               !digits.contains(QLatin1Char(','));
    }
    if (!data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive))
        return false;
    qsizetype pos = 3;
    if (pos < data.size() && data[pos] == QLatin1Char('(')) {
        const qsizetype close = data.indexOf(QLatin1Char(')'), pos);
        if (close < pos + 2 || !isHexList(data.mid(pos + 1, close - pos - 1)))
            return false;
        pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != QLatin1Char(':'))
        return false;
    QStringView list = data.mid(pos + 1).trimmed();
    if (list.endsWith(QLatin1Char('\\'))) {
        continues = true;
        list.chop(1);
    }
    return isHexList(list);
}

bool isBlankLine(const QByteArray& raw)
{
    return raw.trimmed().isEmpty();
}

// Whatever its bytes, such a line ends the key above it.
bool startsKey(const QByteArray& raw)
{
    return raw.trimmed().startsWith('[');
}

bool isContinued(const QByteArray& raw)
{
    return raw.trimmed().endsWith('\\');
}

// The 8-bit code page of REGEDIT4 exports: Latin-1 but for 0x80..0x9F. Bytes Windows leaves undefined
// there keep their own code, as its converter does.
QString fromWindows1252(const QByteArray& bytes)
{
    static constexpr char16_t k80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                         0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? k80[b - 0x80] : char16_t(b));
    }
    return text;
}

class FdGuard {
public:
    explicit FdGuard(int fd) : m_fd(fd) {}
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    ~FdGuard()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now, for a writer that must know whether the close failed.
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

// Permission bits count even for root: a file or folder the user marked read-only is not rewritten.
bool isWritable(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return false;
    return (st.st_mode & 0222) != 0 && ::access(native.constData(), W_OK) == 0;
}

bool ensureFolder(const QString& dir)
{
    const QFileInfo info(dir);
    if (info.isDir())
        return true;
    if (info.exists() || info.isSymLink())
        return false;
    const QString parent = info.absolutePath();
    if (!QFileInfo(parent).isDir() && !QDir().mkpath(parent))
        return false;
    return ::mkdir(QFile::encodeName(dir).constData(), 0700) == 0 ||
           (errno == EEXIST && QFileInfo(dir).isDir());
}

// After a rename: a failed sync only weakens the guarantee against power loss, so it is not reported.
void syncFolder(const QString& dir)
{
    FdGuard fd(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

bool writeAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

// Polled rather than blocking, so that a writer that hangs while holding the lock cannot hang us too.
bool lockWithin(int fd, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool replaceFile(const QString& target, const QByteArray& data)
{
    QByteArray tmpl = QFile::encodeName(target) + ".tmp-XXXXXX";
    const int raw = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (raw < 0)
        return false;
    bool ok;
    {
        FdGuard fd(raw);
        ok = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), data) && ::fsync(fd.get()) == 0;
        ok = fd.close() && ok;
    }
    if (!ok || ::rename(tmpl.constData(), QFile::encodeName(target).constData()) != 0) {
        ::unlink(tmpl.constData());
        return false;
    }
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

// A writer that was killed leaves its temporary file behind; under the lock no other one is being written.
void removeStaleTemporaries(const QString& target)
{
    const QFileInfo info(target);
    QDir dir(info.absolutePath());
    const QStringList stale = dir.entryList({info.fileName() + QStringLiteral(".tmp-??????")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : stale)
        dir.remove(name);
}

bool moveAside(const QString& target)
{
    const QString stem = target + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int n = 1; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n);
    if (::rename(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()) != 0)
        return false;
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

// A link to a file kept elsewhere stays a link: the file written is the one it points to. Nothing when
// that cannot be written.
std::optional<QString> writeTarget(const QString& path)
{
    if (!QFileInfo(path).isSymLink())
        return path;
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty() || !isWritable(QFileInfo(target).absolutePath()))
        return std::nullopt;
    return target;
}

// What was read belongs to the file as it is now (`opened`), which a rename may have put in place since
// the caller looked at it.
std::optional<QByteArray> readFile(const QString& path, struct stat& opened)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Asked for no more than the file holds: a read reserves all it is asked for.
    QByteArray bytes = file.read(std::min(file.size(), RegistryFile::kMaxFileSize) + 1);
    if (file.error() != QFileDevice::NoError || ::fstat(file.handle(), &opened) != 0)
        return std::nullopt;
    return bytes;
}

// A file over the limit is cut after its last whole line within it; true when it was.
bool cutAtLimit(QByteArray& bytes)
{
    if (bytes.size() <= RegistryFile::kMaxFileSize)
        return false;
    bytes.truncate(RegistryFile::kMaxFileSize);
    const qsizetype lastEnd = bytes.lastIndexOf('\n');
    bytes.truncate(lastEnd < 0 ? 0 : lastEnd + 1);
    return true;
}

// The file's bytes as UTF-8 whatever the export wrote (UTF-16 with its mark, UTF-8 with or without one,
// an 8-bit REGEDIT4 export); nothing for a file that holds a NUL.
std::optional<QByteArray> asUtf8(QByteArray bytes)
{
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        const QString text = decoder.decode(QByteArrayView(bytes).sliced(2));
        bytes = text.toUtf8();
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    if (bytes.contains('\0'))
        return std::nullopt;
    // Read in its code page, so that key and value names keep what they say.
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (bytes.left(firstEnd < 0 ? bytes.size() : firstEnd).trimmed() == kRegedit4 &&
        !QUtf8StringView(bytes).isValidUtf8())
        bytes = fromWindows1252(bytes).toUtf8();
    return bytes;
}

// Lines without their ends (LF or CR LF); a last line end starts no line.
QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

} // namespace

// The file as lines: keys and text values understood, every other line kept as read.
class RegistryFile::Document {
public:
    enum class State { Missing, Unusable, Loaded };

    explicit Document(State state = State::Missing) : m_state(state) {}
    // tooLarge: the bytes were cut at the size limit, so the file is never rewritten.
    static Document parsed(QByteArray bytes, bool tooLarge)
    {
        Document doc(State::Loaded);
        doc.parse(std::move(bytes));
        doc.m_frozen = doc.m_frozen || tooLarge;
        return doc;
    }

    State state() const { return m_state; }
    // Binary: moved aside before the next write.
    bool notText() const { return m_notText; }
    // Too large or of a later version: read, never rewritten.
    bool frozen() const { return m_frozen; }

    std::optional<QString> textValue(const QString& keyPath, const QString& valueName) const
    {
        const QList<qsizetype> same = valuesNamed(collect(fullKeyName(keyPath)), valueName);
        if (same.isEmpty())
            return std::nullopt;
        return reading(m_items[same.first()]);
    }

    QList<QPair<QString, QString>> textValues(const QString& keyPath) const
    {
        QList<QPair<QString, QString>> pairs;
        for (qsizetype i : collect(fullKeyName(keyPath)).values) {
            const Item& item = m_items[i];
            if (item.isText)
                pairs.append({item.name, item.text});
        }
        return pairs;
    }

    Change setTextValue(const QString& keyPath, const QString& valueName, const QString& text)
    {
        const QString full = fullKeyName(keyPath);
        const KeyItems key = collect(full);
        const QList<qsizetype> same = valuesNamed(key, valueName);
        if (same.isEmpty()) {
            addValue(full, key, {.kind = Kind::Value, .name = valueName, .isText = true, .text = text});
            return Change::Done;
        }
        Item& item = m_items[same.first()];
        if (reading(item) == text)
            return Change::Unchanged;
        item.isText = true;
        item.text = text;
        item.dword.reset();
        item.raw.clear();
        return Change::Done;
    }

    Change deleteValue(const QString& keyPath, const QString& valueName)
    {
        const QList<qsizetype> same = valuesNamed(collect(fullKeyName(keyPath)), valueName);
        if (same.isEmpty())
            return Change::Failed;
        m_items.remove(same.first());
        return Change::Done;
    }

    Change deleteValues(const QString& keyPath)
    {
        const QList<qsizetype> values = collect(fullKeyName(keyPath)).values;
        for (auto i = values.crbegin(); i != values.crend(); ++i)
            m_items.remove(*i);
        return values.isEmpty() ? Change::Unchanged : Change::Done;
    }

    Change deleteKey(const QString& keyPath)
    {
        const QString full = fullKeyName(keyPath);
        if (collect(full).headers.isEmpty() || hasSubkeys(full))
            return Change::Failed;
        // Its header, values and blank lines go; lines that were not understood stay where they are.
        QList<Item> kept;
        bool inside = false;
        for (Item& item : m_items) {
            if (item.kind == Kind::Key || (item.kind == Kind::Raw && startsKey(item.raw)))
                inside = item.kind == Kind::Key && sameName(item.name, full);
            if (inside && (item.kind != Kind::Raw || isBlankLine(item.raw)))
                continue;
            kept.append(std::move(item));
        }
        // The blank line that set off a last block goes with it.
        while (inside && !kept.isEmpty() && kept.last().kind == Kind::Raw && isBlankLine(kept.last().raw))
            kept.removeLast();
        m_items = std::move(kept);
        return Change::Done;
    }

    // Lines read and left alone are written as they were read.
    QByteArray serialize() const
    {
        QByteArray out = kOwnHeader + '\n';
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            const Item& item = m_items[i];
            if (item.kind != Kind::Raw && !item.raw.isEmpty()) {
                out += item.raw + '\n';
                if (needsEnd(i))
                    out += '\n';
                continue;
            }
            switch (item.kind) {
            case Kind::Raw:
                out += item.raw;
                break;
            case Kind::Key:
                out += '[' + item.name.toUtf8() + ']';
                break;
            case Kind::Value:
                out += item.name.isEmpty() ? QByteArray("@") : '"' + escaped(item.name).toUtf8() + '"';
                out += "=\"" + escaped(item.text).toUtf8() + '"';
                break;
            }
            out += '\n';
        }
        return out;
    }

private:
    enum class Kind { Raw, Key, Value };
    struct Item {
        Kind kind = Kind::Raw;
        QByteArray raw{}; // Raw: the line as read; a value that is not text: its lines as read
        QString name{};   // Key: the full key name with its hive; Value: the name, empty for the unnamed one
        bool isText = false;
        QString text{};
        std::optional<quint32> dword{};
    };
    // Headers and values of one key, in file order; a key may be written in more than one block.
    struct KeyItems {
        QList<qsizetype> headers;
        QList<qsizetype> values;
    };

    // What the value reads as where a text is asked for.
    static std::optional<QString> reading(const Item& item)
    {
        if (item.isText)
            return item.text;
        if (item.dword)
            return QString::number(*item.dword);
        return std::nullopt;
    }

    KeyItems collect(const QString& fullName) const
    {
        KeyItems found;
        bool inside = false;
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            const Item& item = m_items[i];
            if (item.kind == Kind::Key || (item.kind == Kind::Raw && startsKey(item.raw))) {
                inside = item.kind == Kind::Key && sameName(item.name, fullName);
                if (inside)
                    found.headers.append(i);
            } else if (inside && item.kind == Kind::Value) {
                found.values.append(i);
            }
        }
        return found;
    }

    QList<qsizetype> valuesNamed(const KeyItems& key, const QString& name) const
    {
        QList<qsizetype> found;
        for (qsizetype i : key.values) {
            if (sameName(m_items[i].name, name))
                found.append(i);
        }
        return found;
    }

    bool hasSubkeys(const QString& fullName) const
    {
        const QString prefix = fullName + QLatin1Char('\\');
        for (const Item& item : m_items) {
            if (item.kind == Kind::Key && item.name.startsWith(prefix, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

    // A new value goes after the key's last value, or under a new header at the end.
    void addValue(const QString& fullName, const KeyItems& key, const Item& value)
    {
        if (!key.headers.isEmpty()) {
            const qsizetype after = key.values.isEmpty() ? key.headers.last() : key.values.last();
            m_items.insert(after + 1, value);
            return;
        }
        if (m_items.isEmpty() || m_items.last().kind != Kind::Raw || !isBlankLine(m_items.last().raw))
            m_items.append(Item());
        m_items.append({.kind = Kind::Key, .name = fullName});
        m_items.append(value);
    }

    // A continued value that a change left in front of another line would take that line in: a blank line
    // ends it.
    bool needsEnd(qsizetype i) const
    {
        if (i + 1 >= m_items.size() || !isContinued(m_items[i].raw))
            return false;
        const Item& next = m_items[i + 1];
        return next.kind != Kind::Key &&
               !(next.kind == Kind::Raw && (startsKey(next.raw) || isBlankLine(next.raw)));
    }

    void parse(QByteArray bytes)
    {
        const std::optional<QByteArray> text = asUtf8(std::move(bytes));
        if (!text) {
            m_notText = true;
            return;
        }
        const QList<QByteArray> lines = splitLines(*text);
        const QByteArray head = lines.isEmpty() ? QByteArray() : lines.first().trimmed();
        if (head == kOwnHeader || head == kRegedit4 || head == kRegedit5) {
            readLines(lines, 1);
        } else if (head.startsWith(kFutureHeaderPrefix)) {
            m_frozen = true;
            readLines(lines, 1);
        } else if (!text->isEmpty() && !QUtf8StringView(*text).isValidUtf8()) {
            m_notText = true;
        } else {
            readLines(lines, 0);
        }
    }

    void readLines(const QList<QByteArray>& lines, qsizetype first)
    {
        // Folded key name -> folded value name -> index, to find a name given twice.
        QHash<QString, QHash<QString, qsizetype>> seen;
        QString current; // folded name of the key being read; empty outside one
        for (qsizetype i = first; i < lines.size(); ++i) {
            Item item{.raw = lines[i]};
            const bool utf8 = QUtf8StringView(item.raw).isValidUtf8();
            const QString line = utf8 ? QString::fromUtf8(item.raw) : QString();
            const QStringView t = QStringView(line).trimmed();
            bool continues = false;
            if (startsKey(item.raw)) {
                current = utf8 ? readHeader(t, item) : QString();
                m_items.append(std::move(item));
            } else if (utf8 && !current.isEmpty() && parseValue(t, item, continues)) {
                item.kind = Kind::Value;
                // A blank line ends it, as it does where this store writes one after a continued value.
                while (continues && i + 1 < lines.size() && !startsKey(lines[i + 1]) &&
                       !isBlankLine(lines[i + 1])) {
                    item.raw += '\n' + lines[++i];
                    continues = isContinued(lines[i]);
                }
                keepValue(std::move(item), seen[current]);
            } else {
                m_items.append(std::move(item));
            }
        }
    }

    // A well-formed header makes the item a key; the key's folded name, empty for a line that is none.
    static QString readHeader(QStringView t, Item& item)
    {
        if (t.size() < 3 || t.back() != QLatin1Char(']') || t[1] == QLatin1Char('-'))
            return {};
        item.kind = Kind::Key;
        item.name = t.mid(1, t.size() - 2).toString();
        return item.name.toCaseFolded();
    }

    static bool parseValue(QStringView t, Item& item, bool& continues)
    {
        qsizetype pos = 0;
        if (t.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (!readQuoted(t, pos, item.name)) {
            return false;
        }
        skipBlanks(t, pos);
        if (pos >= t.size() || t[pos] != QLatin1Char('='))
            return false;
        ++pos;
        skipBlanks(t, pos);
        if (pos < t.size() && t[pos] == QLatin1Char('"')) {
            if (!readQuoted(t, pos, item.text))
                return false;
            skipBlanks(t, pos);
            item.isText = pos == t.size();
            return item.isText;
        }
        const QStringView data = t.mid(pos);
        if (!isOtherData(data, continues))
            return false;
        if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            bool ok = false;
            const uint number = data.mid(6).trimmed().toUInt(&ok, 16);
            if (ok)
                item.dword = number;
        }
        return true;
    }

    // A name given twice in one key: the later content wins, the first place stays.
    void keepValue(Item item, QHash<QString, qsizetype>& names)
    {
        const QString folded = item.name.toCaseFolded();
        const auto earlier = names.constFind(folded);
        if (earlier == names.constEnd()) {
            names.insert(folded, m_items.size());
            m_items.append(std::move(item));
            return;
        }
        item.name = m_items[*earlier].name;
        if (item.isText)
            item.raw.clear(); // written anew under the first name
        m_items[*earlier] = std::move(item);
    }

    State m_state;
    bool m_notText = false;
    bool m_frozen = false;
    QList<Item> m_items;
};

// The last parse, used for as long as the file is the same one with the same size and modification time.
class RegistryFile::Cache {
public:
    static Cache& instance()
    {
        static Cache cache;
        return cache;
    }

    int parses() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_parses;
    }

    std::optional<Document> find(const QString& filePath, const struct stat& st) const
    {
        const QMutexLocker lock(&m_mutex);
        if (!m_doc || filePath != m_path || !same(stampOf(st), m_stamp))
            return std::nullopt;
        return m_doc;
    }

    // readStarted: the time just before the file was opened. A file changed no longer ago than its clock's
    // step could change again without its time moving: that copy is not kept. Whole-second times take a
    // step of up to two seconds (FAT), finer ones a scheduler tick at most.
    void keep(const QString& filePath, const struct stat& st, const Document& parsed, timespec readStarted)
    {
        const QMutexLocker lock(&m_mutex);
        ++m_parses;
        const bool wholeSeconds = st.st_mtim.tv_nsec == 0;
        const qint64 stepNs = wholeSeconds ? 2'000'000'000 : 50'000'000;
        const auto ns = [](timespec t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
        if (ns(st.st_mtim) + stepNs >= ns(readStarted)) {
            m_doc.reset();
            return;
        }
        m_path = filePath;
        m_stamp = stampOf(st);
        m_doc = parsed;
    }

private:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
    };

    static Stamp stampOf(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }
    static bool same(const Stamp& a, const Stamp& b)
    {
        return a.device == b.device && a.inode == b.inode && a.size == b.size &&
               a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
    }

    mutable QMutex m_mutex;
    QString m_path;
    Stamp m_stamp;
    std::optional<Document> m_doc;
    int m_parses = 0;
};

RegistryFile::RegistryFile(QString path) : m_path(std::move(path)) {}

int RegistryFile::parseCount()
{
    return Cache::instance().parses();
}

QString RegistryFile::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/zentimo/registry.reg");
}

RegistryFile::Document RegistryFile::read() const
{
    const QByteArray native = QFile::encodeName(m_path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return Document(errno == ENOENT ? Document::State::Missing : Document::State::Unusable);
    // A fifo or a device would block or never end.
    if (!S_ISREG(st.st_mode))
        return Document(Document::State::Unusable);
    Cache& cache = Cache::instance();
    if (std::optional<Document> kept = cache.find(m_path, st))
        return std::move(*kept);
    timespec started{};
    ::clock_gettime(CLOCK_REALTIME, &started);
    struct stat opened {};
    std::optional<QByteArray> bytes = readFile(m_path, opened);
    if (!bytes)
        return Document(Document::State::Unusable);
    const bool tooLarge = cutAtLimit(*bytes);
    Document doc = Document::parsed(std::move(*bytes), tooLarge);
    cache.keep(m_path, opened, doc, started);
    return doc;
}

bool RegistryFile::modify(const std::function<Change(Document&)>& change)
{
    if (m_batch) {
        const Change result = change(*m_batch);
        m_batchChanged = m_batchChanged || result == Change::Done;
        return result != Change::Failed;
    }
    const QString dir = QFileInfo(m_path).absolutePath();
    if (!ensureFolder(dir) || !isWritable(dir))
        return false;
    FdGuard lock(::open(QFile::encodeName(m_path + QStringLiteral(".lock")).constData(),
                        O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0 || !lockWithin(lock.get(), std::chrono::milliseconds(kLockWaitMs)))
        return false;
    const std::optional<QString> target = writeTarget(m_path);
    if (!target)
        return false;
    removeStaleTemporaries(*target);
    return rewrite(*target, change);
}

bool RegistryFile::rewrite(const QString& target, const std::function<Change(Document&)>& change) const
{
    Document doc = read();
    if (doc.state() == Document::State::Unusable)
        return false;
    const bool moving = doc.state() == Document::State::Loaded && doc.notText();
    if (doc.state() == Document::State::Loaded && (doc.frozen() || !isWritable(target)))
        return false;
    if (moving)
        doc = Document();
    switch (change(doc)) {
    case Change::Failed:
        return false;
    case Change::Unchanged:
        return true;
    case Change::Done:
        break;
    }
    const QByteArray out = doc.serialize();
    if (out.size() > kMaxFileSize)
        return false;
    // What cannot be read as text is kept under another name, never overwritten.
    if (moving && !moveAside(target))
        return false;
    return replaceFile(target, out);
}

bool RegistryFile::batch(const std::function<bool()>& steps)
{
    if (m_batch)
        return steps();
    return modify([&](Document& doc) {
        m_batch = &doc;
        m_batchChanged = false;
        const bool ok = steps();
        m_batch = nullptr;
        if (!ok)
            return Change::Failed;
        return m_batchChanged ? Change::Done : Change::Unchanged;
    });
}

std::optional<QString> RegistryFile::textValue(const QString& keyPath, const QString& valueName) const
{
    return read().textValue(keyPath, valueName);
}

QList<QPair<QString, QString>> RegistryFile::textValues(const QString& keyPath) const
{
    return read().textValues(keyPath);
}

bool RegistryFile::setTextValue(const QString& keyPath, const QString& valueName, const QString& text)
{
    if (!isUsableKeyPath(keyPath) || !valueName.isValidUtf16() || !text.isValidUtf16())
        return false;
    return modify([&](Document& doc) { return doc.setTextValue(keyPath, valueName, text); });
}

bool RegistryFile::deleteValue(const QString& keyPath, const QString& valueName)
{
    if (!isUsableKeyPath(keyPath))
        return false;
    return modify([&](Document& doc) { return doc.deleteValue(keyPath, valueName); });
}

bool RegistryFile::deleteValues(const QString& keyPath)
{
    if (!isUsableKeyPath(keyPath))
        return false;
    return modify([&](Document& doc) { return doc.deleteValues(keyPath); });
}

bool RegistryFile::deleteKey(const QString& keyPath)
{
    if (!isUsableKeyPath(keyPath))
        return false;
    return modify([&](Document& doc) { return doc.deleteKey(keyPath); });
}

} // namespace zentimo
