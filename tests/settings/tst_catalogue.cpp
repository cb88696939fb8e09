// The catalogue's conversions at the edge of the store, the Boolean texts among them.

#include "settings/Catalogue.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace zentimo;

Q_DECLARE_METATYPE(OptionKey)

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
        QVERIFY(catalogue.writeFlag(OptionKey::OnTop, true));
        QVERIFY(catalogue.writeInt(OptionKey::Size, 1));
        QVERIFY(catalogue.writeFlag(OptionKey::OnTop, false));
        QCOMPARE(catalogue.readText(OptionKey::OnTop), QString("False"));
        QCOMPARE(Catalogue(m_store).readText(OptionKey::Size), QString("0"));
        QVERIFY(catalogue.commitBatch());
        QCOMPARE(m_store.GetAllOptions("Options"), SettingPairs({{"On Top", "False"}, {"Size", "1"}}));
    }

    // A stored text and what it reads as; "written" rows store the value through the catalogue first.
    void storedTexts_data()
    {
        QTest::addColumn<OptionKey>("key");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("sound beyond int") << OptionKey::BuiltInSound << false << "99999999999" << 107LL;
        QTest::newRow("flag in words") << OptionKey::PlaySound << false << "maybe" << 1LL;
        QTest::newRow("flag padded false") << OptionKey::PlaySound << false << " false " << 0LL;
        QTest::newRow("auto restart as a digit") << OptionKey::AutoRestart << false << "1" << 1LL;
        QTest::newRow("auto restart padded capitals") << OptionKey::AutoRestart << false << " TRUE " << 1LL;
        QTest::newRow("auto restart, not a plain number, falls back to off")
            << OptionKey::AutoRestart << false << "nan" << 0LL;
        QTest::newRow("colour beyond 32 bits") << OptionKey::DigitColor << false << "4294967296" << 0xFFFFLL;
        QTest::newRow("colour, the least signed")
            << OptionKey::ButtonColor << false << "-2147483648" << 0x80000000LL;
        QTest::newRow("colour unsigned") << OptionKey::ButtonColor << false << "2147483663" << 0x8000000FLL;
        QTest::newRow("system colour written signed")
            << OptionKey::ButtonColor << true << "-2147483633" << 0x8000000FLL;
    }

    void storedTexts()
    {
        QFETCH(OptionKey, key);
        QFETCH(bool, written);
        QFETCH(QString, stored);
        QFETCH(qlonglong, value);
        const bool flag = key == OptionKey::PlaySound || key == OptionKey::AutoRestart;
        const bool color = key == OptionKey::DigitColor || key == OptionKey::ButtonColor;
        if (written)
            QVERIFY(Catalogue(m_store).writeColor(key, std::uint32_t(value)));
        else
            QVERIFY(m_store.SaveSetting("Options", Catalogue::keyName(key), stored));
        const Catalogue catalogue(m_store);
        QCOMPARE(catalogue.readText(key), stored);
        QCOMPARE(flag    ? qlonglong(catalogue.readFlag(key))
                 : color ? qlonglong(catalogue.readColor(key))
                         : qlonglong(catalogue.readInt(key)),
                 value);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
