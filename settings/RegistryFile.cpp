#include "settings/RegistryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringDecoder>
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
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (pos >= line.size())
            return false;
        const QChar e = line[pos++];
        switch (e.unicode()) {
        case '\\':
        case '"':
            out += e;
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'x': {
            if (pos + 2 > line.size())
                return false;
            const int hi = hexDigit(line[pos]);
            const int lo = hexDigit(line[pos + 1]);
            if (hi < 0 || lo < 0)
                return false;
            out += QChar(char16_t(hi * 16 + lo));
            pos += 2;
            break;
        }
        default:
            return false;
        }
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

struct FdGuard {
    int fd = -1;
    explicit FdGuard(int f) : fd(f) {}
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    ~FdGuard()
    {
        if (fd >= 0)
            ::close(fd);
    }
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

bool syncFolder(const QString& dir)
{
    FdGuard fd(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.fd >= 0 && ::fsync(fd.fd) == 0;
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
        ok = ::fchmod(fd.fd, 0600) == 0 && writeAll(fd.fd, data) && ::fsync(fd.fd) == 0;
        ok = (::close(std::exchange(fd.fd, -1)) == 0) && ok;
    }
    if (!ok || ::rename(tmpl.constData(), QFile::encodeName(target).constData()) != 0) {
        ::unlink(tmpl.constData());
        return false;
    }
    // The rename is done; a failed folder sync only weakens the guarantee against power loss.
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

} // namespace

struct RegistryFile::Document {
    enum class Kind { Raw, Key, Value };
    struct Item {
        Kind kind = Kind::Raw;
        QByteArray raw; // Raw: the line as read; a value that is not text: its lines as read
        QString name;   // Key: the full key name with its hive; Value: the name, empty for the unnamed one
        bool isText = false;
        QString text;
        std::optional<quint32> dword;

        // What the value reads as where a text is asked for.
        std::optional<QString> reading() const
        {
            if (isText)
                return text;
            if (dword)
                return QString::number(*dword);
            return std::nullopt;
        }
    };
    enum class State { Missing, Unusable, Loaded };

    State state = State::Missing;
    bool notText = false; // binary: moved aside before the next write
    bool frozen = false;  // too large or of a later version: read, never rewritten
    QList<Item> items;

    // Headers and values of one key, in file order; a key may be written in more than one block.
    struct KeyItems {
        QList<qsizetype> headers;
        QList<qsizetype> values;
    };

    KeyItems collect(const QString& fullName) const
    {
        KeyItems found;
        bool inside = false;
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
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
            if (sameName(items[i].name, name))
                found.append(i);
        }
        return found;
    }

    bool hasSubkeys(const QString& fullName) const
    {
        const QString prefix = fullName + QLatin1Char('\\');
        for (const Item& item : items) {
            if (item.kind == Kind::Key && item.name.startsWith(prefix, Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

    void parse(QByteArray bytes)
    {
        state = State::Loaded;
        if (bytes.startsWith("\xFF\xFE")) {
            QStringDecoder decoder(QStringDecoder::Utf16LE);
            const QString text = decoder.decode(QByteArrayView(bytes).sliced(2));
            if (text.contains(QChar(0))) {
                notText = true;
                return;
            }
            bytes = text.toUtf8();
        } else if (bytes.startsWith("\xEF\xBB\xBF")) {
            bytes.remove(0, 3);
        }
        if (bytes.contains('\0')) {
            notText = true;
            return;
        }
        // An 8-bit export: read in its code page, so key and value names keep what they say.
        const qsizetype firstEnd = bytes.indexOf('\n');
        if (bytes.left(firstEnd < 0 ? bytes.size() : firstEnd).trimmed() == kRegedit4 &&
            !QUtf8StringView(bytes).isValidUtf8())
            bytes = fromWindows1252(bytes).toUtf8();

        QList<QByteArray> lines = bytes.split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        for (QByteArray& line : lines) {
            if (line.endsWith('\r'))
                line.chop(1);
        }

        qsizetype first = 0;
        const QByteArray head = lines.isEmpty() ? QByteArray() : lines.first().trimmed();
        const bool known = head == kOwnHeader || head == kRegedit4 || head == kRegedit5;
        if (known) {
            first = 1;
        } else if (head.startsWith(kFutureHeaderPrefix)) {
            frozen = true;
            first = 1;
        } else if (!bytes.isEmpty() && !QUtf8StringView(bytes).isValidUtf8()) {
            notText = true;
            return;
        }

        // Folded key name -> folded value name -> index, to find a name given twice.
        QHash<QString, QHash<QString, qsizetype>> seen;
        QString current; // folded name of the key being read; empty outside one
        for (qsizetype i = first; i < lines.size(); ++i) {
            Item item;
            item.raw = lines[i];
            if (startsKey(item.raw))
                current.clear();
            if (!QUtf8StringView(lines[i]).isValidUtf8()) {
                items.append(item);
                continue;
            }
            const QString line = QString::fromUtf8(lines[i]);
            const QStringView t = QStringView(line).trimmed();
            if (startsKey(item.raw)) {
                if (t.size() >= 3 && t.back() == QLatin1Char(']') && t[1] != QLatin1Char('-')) {
                    item.kind = Kind::Key;
                    item.name = t.mid(1, t.size() - 2).toString();
                    current = item.name.toCaseFolded();
                }
                items.append(item);
                continue;
            }
            bool continues = false;
            if (!current.isEmpty() && parseValue(t, item, continues)) {
                item.kind = Kind::Value;
                while (continues && i + 1 < lines.size() && !startsKey(lines[i + 1])) {
                    item.raw += '\n' + lines[++i];
                    continues = isContinued(lines[i]);
                }
                // A name given twice in one key: the later content wins, the first place stays.
                QHash<QString, qsizetype>& names = seen[current];
                const QString folded = item.name.toCaseFolded();
                const auto earlier = names.constFind(folded);
                if (earlier == names.constEnd()) {
                    names.insert(folded, items.size());
                    items.append(std::move(item));
                } else {
                    item.name = items[*earlier].name;
                    if (item.isText)
                        item.raw.clear(); // written anew under the first name
                    items[*earlier] = std::move(item);
                }
                continue;
            }
            items.append(item);
        }
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

    // Lines read and left alone are written as they were read.
    QByteArray serialize() const
    {
        QByteArray out = kOwnHeader + '\n';
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            if (item.kind != Kind::Raw && !item.raw.isEmpty()) {
                out += item.raw + '\n';
                // A continued value that a change left in front of another line would take that line in:
                // a blank line ends it.
                const Item* next = i + 1 < items.size() ? &items[i + 1] : nullptr;
                if (next && isContinued(item.raw) && next->kind != Kind::Key &&
                    !(next->kind == Kind::Raw && (startsKey(next->raw) || isBlankLine(next->raw))))
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
};

// The last parse, used for as long as the file is the same one with the same size and modification time.
struct RegistryFile::Cache {
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
        bool operator==(const Stamp& o) const
        {
            return device == o.device && inode == o.inode && size == o.size &&
                   modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
        }
    };

    QMutex mutex;
    QString path;
    Stamp stamp;
    std::optional<Document> doc;
    int parses = 0;

    static Cache& instance()
    {
        static Cache cache;
        return cache;
    }

    static Stamp stampOf(const struct stat& st) { return {st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }

    std::optional<Document> find(const QString& filePath, const struct stat& st)
    {
        const QMutexLocker lock(&mutex);
        if (!doc || filePath != path || !(stampOf(st) == stamp))
            return std::nullopt;
        return doc;
    }

    // readStarted: the time just before the file was opened. A file changed no longer ago than its clock's
    // step could change again without its time moving: that copy is not kept. Whole-second times take a
    // step of up to two seconds (FAT), finer ones a scheduler tick at most.
    void keep(const QString& filePath, const struct stat& st, const Document& parsed, timespec readStarted)
    {
        const QMutexLocker lock(&mutex);
        ++parses;
        const bool wholeSeconds = st.st_mtim.tv_nsec == 0;
        const qint64 stepNs = wholeSeconds ? 2'000'000'000 : 50'000'000;
        const auto ns = [](timespec t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
        if (ns(st.st_mtim) + stepNs >= ns(readStarted)) {
            doc.reset();
            return;
        }
        path = filePath;
        stamp = stampOf(st);
        doc = parsed;
    }
};

RegistryFile::RegistryFile(QString path) : m_path(std::move(path)) {}

int RegistryFile::parseCount()
{
    Cache& cache = Cache::instance();
    const QMutexLocker lock(&cache.mutex);
    return cache.parses;
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
    Document doc;
    const QByteArray native = QFile::encodeName(m_path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        doc.state = errno == ENOENT ? Document::State::Missing : Document::State::Unusable;
        return doc;
    }
    // A fifo or a device would block or never end.
    if (!S_ISREG(st.st_mode)) {
        doc.state = Document::State::Unusable;
        return doc;
    }
    Cache& cache = Cache::instance();
    if (std::optional<Document> kept = cache.find(m_path, st))
        return std::move(*kept);
    timespec started{};
    ::clock_gettime(CLOCK_REALTIME, &started);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        doc.state = Document::State::Unusable;
        return doc;
    }
    QByteArray bytes = file.read(kMaxFileSize + 1);
    // What was read belongs to the file as it is now, which a rename may have put in place since the stat.
    struct stat opened {};
    if (file.error() != QFileDevice::NoError || ::fstat(file.handle(), &opened) != 0) {
        doc.state = Document::State::Unusable;
        return doc;
    }
    bool tooLarge = false;
    if (bytes.size() > kMaxFileSize) {
        tooLarge = true;
        bytes.truncate(kMaxFileSize);
        const qsizetype lastEnd = bytes.lastIndexOf('\n');
        bytes.truncate(lastEnd < 0 ? 0 : lastEnd + 1);
    }
    doc.parse(std::move(bytes));
    doc.frozen = doc.frozen || tooLarge;
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
    const QFileInfo info(m_path);
    const QString dir = info.absolutePath();
    if (!ensureFolder(dir) || !isWritable(dir))
        return false;

    FdGuard lock(::open(QFile::encodeName(m_path + QStringLiteral(".lock")).constData(),
                        O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.fd < 0)
        return false;
    if (!lockWithin(lock.fd, std::chrono::milliseconds(kLockWaitMs)))
        return false;

    // A link to a file kept elsewhere stays a link.
    QString target = m_path;
    if (QFileInfo(m_path).isSymLink()) {
        target = QFileInfo(m_path).canonicalFilePath();
        if (target.isEmpty() || !isWritable(QFileInfo(target).absolutePath()))
            return false;
    }
    removeStaleTemporaries(target);

    Document doc = read();
    if (doc.state == Document::State::Unusable)
        return false;
    const bool moving = doc.state == Document::State::Loaded && doc.notText;
    if (doc.state == Document::State::Loaded && (doc.frozen || !isWritable(target)))
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
    const Document doc = read();
    const Document::KeyItems key = doc.collect(fullKeyName(keyPath));
    const QList<qsizetype> same = doc.valuesNamed(key, valueName);
    if (same.isEmpty())
        return std::nullopt;
    return doc.items[same.first()].reading();
}

QList<QPair<QString, QString>> RegistryFile::textValues(const QString& keyPath) const
{
    const Document doc = read();
    QList<QPair<QString, QString>> pairs;
    for (qsizetype i : doc.collect(fullKeyName(keyPath)).values) {
        const Document::Item& item = doc.items[i];
        if (item.isText)
            pairs.append({item.name, item.text});
    }
    return pairs;
}

bool RegistryFile::setTextValue(const QString& keyPath, const QString& valueName, const QString& text)
{
    if (!isUsableKeyPath(keyPath) || !valueName.isValidUtf16() || !text.isValidUtf16())
        return false;
    return modify([&](Document& doc) {
        using Kind = Document::Kind;
        const QString full = fullKeyName(keyPath);
        const Document::KeyItems key = doc.collect(full);
        const QList<qsizetype> same = doc.valuesNamed(key, valueName);
        if (!same.isEmpty()) {
            Document::Item& item = doc.items[same.first()];
            if (item.reading() == text)
                return Change::Unchanged;
            item.isText = true;
            item.text = text;
            item.dword.reset();
            item.raw.clear();
            return Change::Done;
        }
        Document::Item value;
        value.kind = Kind::Value;
        value.name = valueName;
        value.isText = true;
        value.text = text;
        if (!key.headers.isEmpty()) {
            const qsizetype after = key.values.isEmpty() ? key.headers.last() : key.values.last();
            doc.items.insert(after + 1, value);
            return Change::Done;
        }
        if (doc.items.isEmpty() || doc.items.last().kind != Kind::Raw || !isBlankLine(doc.items.last().raw))
            doc.items.append(Document::Item());
        Document::Item header;
        header.kind = Kind::Key;
        header.name = full;
        doc.items.append(header);
        doc.items.append(value);
        return Change::Done;
    });
}

bool RegistryFile::deleteValue(const QString& keyPath, const QString& valueName)
{
    if (!isUsableKeyPath(keyPath))
        return false;
    return modify([&](Document& doc) {
        const QList<qsizetype> same = doc.valuesNamed(doc.collect(fullKeyName(keyPath)), valueName);
        if (same.isEmpty())
            return Change::Failed;
        doc.items.remove(same.first());
        return Change::Done;
    });
}

bool RegistryFile::deleteValues(const QString& keyPath)
{
    if (!isUsableKeyPath(keyPath))
        return false;
    return modify([&](Document& doc) {
        const QList<qsizetype> values = doc.collect(fullKeyName(keyPath)).values;
        for (auto i = values.crbegin(); i != values.crend(); ++i)
            doc.items.remove(*i);
        return values.isEmpty() ? Change::Unchanged : Change::Done;
    });
}

bool RegistryFile::deleteKey(const QString& keyPath)
{
    if (!isUsableKeyPath(keyPath))
        return false;
    return modify([&](Document& doc) {
        using Kind = Document::Kind;
        const QString full = fullKeyName(keyPath);
        if (doc.collect(full).headers.isEmpty() || doc.hasSubkeys(full))
            return Change::Failed;
        // Its header, values and blank lines go; lines that were not understood stay where they are.
        QList<Document::Item> kept;
        bool inside = false;
        for (Document::Item& item : doc.items) {
            if (item.kind == Kind::Key || (item.kind == Kind::Raw && startsKey(item.raw)))
                inside = item.kind == Kind::Key && sameName(item.name, full);
            if (inside && (item.kind != Kind::Raw || isBlankLine(item.raw)))
                continue;
            kept.append(std::move(item));
        }
        // The blank line that set off a last block goes with it.
        while (inside && !kept.isEmpty() && kept.last().kind == Kind::Raw && isBlankLine(kept.last().raw))
            kept.removeLast();
        doc.items = std::move(kept);
        return Change::Done;
    });
}

} // namespace zentimo
