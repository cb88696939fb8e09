// The settings file: the input is the file. Every operation runs on a fresh copy of it and is checked:
// a saved value reads back equal, every other value is unchanged, lines the operation had no business
// with survive byte for byte, a failed call changes nothing, and the written file re-reads the same.

#include "FuzzCheck.h"
#include "settings/RegistryFile.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <cstdint>

using namespace zentimo;
using zentimo::fuzz::check;
using zentimo::fuzz::readFile;

namespace {

const QString kOptions = QStringLiteral("Software\\Fernwick\\Zentimo\\Options");
const QString kHivePrefix = QStringLiteral("HKEY_CURRENT_USER\\");

// The lines as a rewrite carries them over: the text decoded the way regedit exports are written
// (the 8-bit code page through ICU, not through the program's own table), carriage returns dropped.
// Empty when the file is not text.
QList<QByteArray> textLines(QByteArray bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        bytes =
            QString(QStringDecoder(QStringDecoder::Utf16LE).decode(QByteArrayView(bytes).sliced(2))).toUtf8();
    else if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.contains('\0'))
        return {};
    if (bytes.split('\n').value(0).trimmed() == "REGEDIT4" && !QUtf8StringView(bytes).isValidUtf8())
        bytes = QString(QStringDecoder("windows-1252").decode(bytes)).toUtf8();
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(line.endsWith('\r') ? 1 : 0);
    return lines;
}

QString keyOf(const QByteArray& line)
{
    const QString t = QString::fromUtf8(line).trimmed();
    const bool key = QUtf8StringView(line).isValidUtf8() && t.endsWith(QLatin1Char(']')) &&
                     t.startsWith(QLatin1Char('[') + kHivePrefix, Qt::CaseInsensitive);
    return key ? t.mid(1 + kHivePrefix.size(), t.size() - 2 - kHivePrefix.size()) : QString();
}

// The name a value line starts with, unescaped and folded, in quotes; "@" for the unnamed value;
// empty for a line that names no value.
QString nameToken(const QByteArray& line)
{
    const QString t = QString::fromUtf8(line.trimmed());
    if (t.startsWith(QLatin1Char('@')))
        return QStringLiteral("@");
    QString name;
    for (qsizetype i = 1; t.startsWith(QLatin1Char('"')) && i < t.size(); ++i) {
        if (t[i] == QLatin1Char('"'))
            return QLatin1Char('"') + name.toCaseFolded() + QLatin1Char('"');
        if (t[i] != QLatin1Char('\\')) {
            name += t[i];
        } else if (++i < t.size() && t[i] != QLatin1Char('x')) {
            const char16_t e = t[i].unicode();
            name += e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e == u't' ? QChar(u'\t') : t[i];
        } else {
            bool ok = false;
            name += QChar(t.mid(i + 1, 2).toInt(&ok, 16));
            if (!ok || t.mid(i + 1, 2).size() != 2)
                return {};
            i += 2;
        }
    }
    return {};
}

struct Op {
    enum Kind { Save, DeleteValue, DeleteKey } kind;
    QString key;
    QString name;
    QString text;
};

using Pairs = QList<QPair<QString, QString>>;

Pairs expectedAfter(Pairs pairs, const Op& op)
{
    const auto same = [&](const auto& p) { return p.first.compare(op.name, Qt::CaseInsensitive) == 0; };
    if (op.kind == Op::DeleteKey)
        pairs.clear();
    else if (op.kind == Op::DeleteValue)
        pairs.removeIf(same);
    else if (auto it = std::find_if(pairs.begin(), pairs.end(), same); it != pairs.end())
        it->second = op.text;
    else
        pairs.append({op.name, op.text});
    return pairs;
}

// Lines that must be in the rewritten file, as many times as they were in the read one.
QHash<QByteArray, int> mustSurvive(const QList<QByteArray>& lines, const Op& op)
{
    QHash<QString, int> tokens;
    for (const QByteArray& line : lines) {
        const QString token = nameToken(line);
        if (!token.isEmpty())
            ++tokens[token];
    }
    const QString target = op.name.isEmpty() ? QStringLiteral("@")
                                             : QLatin1Char('"') + op.name.toCaseFolded() + QLatin1Char('"');
    QHash<QByteArray, int> survive;
    bool inTarget = false; // inside a block of the operation's key
    bool skipping = false; // inside a value the operation may rewrite, or one whose name is given twice
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const QByteArray t = line.trimmed();
        if (i == 0 &&
            (t == "REGEDIT4" || t.startsWith("Windows Registry Editor") || t.startsWith("Zentimo Registry")))
            continue;
        if (t.startsWith('[')) {
            inTarget = keyOf(line).compare(op.key, Qt::CaseInsensitive) == 0;
            skipping = false;
        } else if (!skipping || !lines[i - 1].trimmed().endsWith('\\')) {
            const QString token = nameToken(line);
            skipping = !token.isEmpty() && (tokens.value(token) > 1 || (inTarget && token == target));
        }
        if (skipping || t.isEmpty() || (inTarget && op.kind == Op::DeleteKey))
            continue;
        ++survive[line];
    }
    return survive;
}

// before: the text values of each key as read from the original.
void runOp(const QByteArray& original, const QStringList& keys, const QList<Pairs>& before, const Op& op)
{
    const QString path = fuzz::scratchFile(QStringLiteral("registry.reg"), original);
    RegistryFile file(path);
    const bool ok = op.kind == Op::Save          ? file.setTextValue(op.key, op.name, op.text)
                    : op.kind == Op::DeleteValue ? file.deleteValue(op.key, op.name)
                                                 : file.deleteKey(op.key);
    const QByteArray written = readFile(path);
    const QFileInfoList aside =
        QFileInfo(path).dir().entryInfoList({QStringLiteral("registry.reg.unreadable-*")});
    if (!ok) {
        check(written == original && aside.isEmpty(), "a failed call changes nothing");
        return;
    }
    if (!aside.isEmpty())
        check(readFile(aside.first().filePath()) == original, "unreadable file kept aside");

    // What was read before, with the one change, is what the written file reads as.
    for (qsizetype k = 0; k < keys.size(); ++k) {
        const Pairs base = aside.isEmpty() ? before[k] : Pairs();
        const bool target = keys[k].compare(op.key, Qt::CaseInsensitive) == 0;
        check(file.textValues(keys[k]) == (target ? expectedAfter(base, op) : base),
              "every other value unchanged, the changed one as asked");
    }
    if (op.kind == Op::Save) {
        check(file.textValue(op.key, op.name) == op.text, "a saved value reads back equal");
        check(file.setTextValue(op.key, op.name, op.text) && readFile(path) == written,
              "saving the same again writes nothing");
    }
    if (aside.isEmpty() && written != original) {
        QHash<QByteArray, int> left = mustSurvive(textLines(original), op);
        for (const QByteArray& line : written.split('\n'))
            --left[line];
        check(std::none_of(left.cbegin(), left.cend(), [](int n) { return n > 0; }),
              "lines the program did not write survive byte for byte");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));

    // Reading the file is the cost of every check: a few keys are enough.
    QStringList keys{kOptions};
    for (const QByteArray& line : textLines(original)) {
        const QString key = keyOf(line);
        if (!key.isEmpty() && !keys.contains(key, Qt::CaseInsensitive) && keys.size() < 6)
            keys.append(key);
    }
    // A name that no line of the file mentions, so saving it only ever adds.
    QString fresh = QStringLiteral("Fuzz New");
    for (int n = 0; original.toLower().contains(fresh.toLower().toUtf8()); ++n)
        fresh = QStringLiteral("Fuzz New %1").arg(n);
    QList<Op> ops{{Op::Save, kOptions, QStringLiteral("Size"), QStringLiteral("1")},
                  {Op::Save, kOptions, fresh, QStringLiteral("tab\t\"quoted\" back\\slash \u00e9")},
                  {Op::DeleteKey, kOptions, {}, {}}};
    const RegistryFile file(fuzz::scratchFile(QStringLiteral("registry.reg"), original));
    QList<Pairs> before;
    for (const QString& key : keys)
        before.append(file.textValues(key));
    for (qsizetype k = 0; k < keys.size() && k < 3; ++k) {
        if (!before[k].isEmpty()) {
            ops.append({Op::Save, keys[k], before[k].first().first, QStringLiteral("changed")});
            ops.append({Op::DeleteValue, keys[k], before[k].last().first, {}});
        }
    }
    ops.append({Op::Save, keys.last(), fresh, QStringLiteral("x")});
    ops.append({Op::DeleteKey, keys.last(), {}, {}});
    for (const Op& op : ops)
        runOp(original, keys, before, op);
    return 0;
}
