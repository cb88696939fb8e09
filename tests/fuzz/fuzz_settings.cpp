// The settings file: the input is the file. Every operation runs on a fresh copy of it and is checked:
// a saved value reads back equal and saving it again writes nothing, every other value is unchanged, a
// failed call changes nothing, and an unreadable file is kept aside.

#include "../Files.h"
#include "settings/RegistryFile.h"

#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>

using namespace zentimo;
using namespace zentimo::test;

namespace {

void check(bool ok, const char* what)
{
    if (!ok)
        qFatal("invariant broken: %s", what); // aborts, where libFuzzer sees it
}

// A private scratch folder in memory, since every write syncs, emptied but for one file holding the input.
QString scratchFile(const QString& name, const QByteArray& bytes)
{
    static QTemporaryDir dir(QStringLiteral("/dev/shm/zentimo-fuzz-XXXXXX"));
    for (const QString& old : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(old));
    check(writeFile(dir.filePath(name), bytes), "input file written");
    return dir.filePath(name);
}

const QString kOptions = QStringLiteral("Software\\Fernwick\\Zentimo\\Options");
const QString kHivePrefix = QStringLiteral("HKEY_CURRENT_USER\\");

QString keyOf(const QByteArray& line)
{
    const QString t = QString::fromUtf8(line).trimmed();
    const bool key = QUtf8StringView(line).isValidUtf8() && t.endsWith(QLatin1Char(']')) &&
                     t.startsWith(QLatin1Char('[') + kHivePrefix, Qt::CaseInsensitive);
    return key ? t.mid(1 + kHivePrefix.size(), t.size() - 2 - kHivePrefix.size()) : QString();
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

// before: the text values of each key as read from the original.
void runOp(const QByteArray& original, const QStringList& keys, const QList<Pairs>& before, const Op& op)
{
    const QString path = scratchFile(QStringLiteral("registry.reg"), original);
    RegistryFile file(path);
    const bool ok = op.kind == Op::Save          ? file.setTextValue(op.key, op.name, op.text)
                    : op.kind == Op::DeleteValue ? file.deleteValue(op.key, op.name)
                                                 : file.deleteKey(op.key);
    const QByteArray written = readAll(path);
    const QFileInfoList aside =
        QFileInfo(path).dir().entryInfoList({QStringLiteral("registry.reg.unreadable-*")});
    if (!ok) {
        check(written == original && aside.isEmpty(), "a failed call changes nothing");
        return;
    }
    if (!aside.isEmpty())
        check(readAll(aside.first().filePath()) == original, "unreadable file kept aside");

    // What was read before, with the one change, is what the written file reads as.
    for (qsizetype k = 0; k < keys.size(); ++k) {
        const Pairs base = aside.isEmpty() ? before[k] : Pairs();
        const bool target = keys[k].compare(op.key, Qt::CaseInsensitive) == 0;
        check(file.textValues(keys[k]) == (target ? expectedAfter(base, op) : base),
              "every other value unchanged, the changed one as asked");
    }
    if (op.kind == Op::Save) {
        check(file.textValue(op.key, op.name) == op.text, "a saved value reads back equal");
        check(file.setTextValue(op.key, op.name, op.text) && readAll(path) == written,
              "saving the same again writes nothing");
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
    for (const QByteArray& line : original.split('\n')) {
        const QString key = keyOf(line);
        if (!key.isEmpty() && !keys.contains(key, Qt::CaseInsensitive) && keys.size() < 6)
            keys.append(key);
    }
    const QString fresh = QStringLiteral("Fuzz New");
    QList<Op> ops{{Op::Save, kOptions, QStringLiteral("Size"), QStringLiteral("1")},
                  {Op::Save, kOptions, fresh, QStringLiteral("tab\t\"quoted\" back\\slash \u00e9")},
                  {Op::DeleteKey, kOptions, {}, {}}};
    const RegistryFile file(scratchFile(QStringLiteral("registry.reg"), original));
    QList<Pairs> before;
    for (const QString& key : keys)
        before.append(file.textValues(key));
    if (!before.last().isEmpty()) {
        ops.append({Op::Save, keys.last(), before.last().first().first, QStringLiteral("changed")});
        ops.append({Op::DeleteValue, keys.last(), before.last().last().first, {}});
    }
    ops.append({Op::Save, keys.last(), fresh, QStringLiteral("x")});
    ops.append({Op::DeleteKey, keys.last(), {}, {}});
    for (const Op& op : ops)
        runOp(original, keys, before, op);
    return 0;
}
