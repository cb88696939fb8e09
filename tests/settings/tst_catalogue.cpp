// The catalogue's conversions at the edge of the store, the Boolean texts among them.

#include "settings/Catalogue.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace zentimo;

using K = OptionKey;
using Reader = qlonglong (*)(const Catalogue&, OptionKey);
const Reader flag = [](const Catalogue& c, OptionKey k) -> qlonglong { return c.readFlag(k); };
const Reader number = [](const Catalogue& c, OptionKey k) -> qlonglong { return c.readInt(k); };
const Reader colour = [](const Catalogue& c, OptionKey k) -> qlonglong { return c.readColor(k); };

struct StoredText {
    const char* name;
    OptionKey key;
    const char* stored;
    Reader read;
    qlonglong value;
};
Q_DECLARE_METATYPE(StoredText)

// clang-format off
const StoredText kStoredTexts[] = {
    {.name = "sound beyond int", .key = K::BuiltInSound, .stored = "99999999999", .read = number, .value = 107},
    {.name = "flag in words", .key = K::PlaySound, .stored = "maybe", .read = flag, .value = 1},
    {.name = "flag padded false", .key = K::PlaySound, .stored = " false ", .read = flag, .value = 0},
    {.name = "auto restart as a digit", .key = K::AutoRestart, .stored = "1", .read = flag, .value = 1},
    {.name = "auto restart padded capitals", .key = K::AutoRestart, .stored = " TRUE ", .read = flag, .value = 1},
    {.name = "auto restart not a number is off", .key = K::AutoRestart, .stored = "nan", .read = flag, .value = 0},
    {.name = "colour beyond 32 bits", .key = K::DigitColor, .stored = "4294967296", .read = colour, .value = 0xFFFF},
    {.name = "colour -2^31", .key = K::ButtonColor, .stored = "-2147483648", .read = colour, .value = 0x80000000},
    {.name = "colour unsigned", .key = K::ButtonColor, .stored = "2147483663", .read = colour, .value = 0x8000000F},
    {.name = "colour 2^32 - 1", .key = K::ButtonColor, .stored = "4294967295", .read = colour, .value = 0xFFFFFFFF},
};
// clang-format on

class TestCatalogue : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    CRegSettings m_store = zentimoSettings();

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
    }

    void heldWritesLandTogetherOnCommit()
    {
        Catalogue catalogue(m_store);
        catalogue.beginBatch();
        QVERIFY(catalogue.writeFlag(OptionKey::OnTop, true) && catalogue.writeInt(OptionKey::Size, 1));
        QVERIFY(catalogue.writeFlag(OptionKey::OnTop, false));
        QCOMPARE(catalogue.readText(OptionKey::OnTop), QString("False"));
        QCOMPARE(Catalogue(m_store).readText(OptionKey::Size), QString("0"));
        QVERIFY(catalogue.commitBatch() && catalogue.commitBatch()); // the second has nothing to store
        QCOMPARE(m_store.GetAllOptions("Options"), SettingPairs({{"On Top", "False"}, {"Size", "1"}}));
    }

    // A stored text and what it reads as.
    void storedTexts_data()
    {
        QTest::addColumn<StoredText>("row");
        for (const StoredText& row : kStoredTexts)
            QTest::newRow(row.name) << row;
    }
    void storedTexts()
    {
        QFETCH(StoredText, row);
        QVERIFY(m_store.SaveSetting("Options", Catalogue::keyName(row.key), row.stored));
        const Catalogue catalogue(m_store);
        QCOMPARE(catalogue.readText(row.key), QString(row.stored));
        QCOMPARE(row.read(catalogue, row.key), row.value);
    }

    void aSystemColourIsWrittenSigned()
    {
        QVERIFY(Catalogue(m_store).writeColor(OptionKey::ButtonColor, 0x8000000F));
        QCOMPARE(Catalogue(m_store).readText(OptionKey::ButtonColor), QString("-2147483633"));
        QCOMPARE(Catalogue(m_store).readColor(OptionKey::ButtonColor), 0x8000000Fu);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
