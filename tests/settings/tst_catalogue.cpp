// The catalogue's conversions at the edge of the store, and the Boolean texts.

#include "settings/BoolText.h"
#include "settings/Catalogue.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace zentimo;

Q_DECLARE_METATYPE(OptionKey)

class TestCatalogue : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    CRegSettings m_store = zentimoSettings();

    void store(const QString& key, const QString& text)
    {
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), key, text));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
    }

    void cleanup() { m_dir.reset(); }

    void flagsAreWrittenInTheirOwnForms()
    {
        Catalogue catalogue(m_store);
        QVERIFY(catalogue.writeFlag(OptionKey::AutoRestart, true));
        QVERIFY(catalogue.writeFlag(OptionKey::LoopSound, false));
        QCOMPARE(catalogue.readText(OptionKey::AutoRestart), QString("1"));
        QCOMPARE(catalogue.readText(OptionKey::LoopSound), QString("False"));
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
        QVERIFY(catalogue.writeInt(OptionKey::Size, 0)); // straight through again
        QCOMPARE(m_store.GetSetting("Options", "Size"), QString("0"));
    }

    void valuesThatDoNotConvertFallBack_data()
    {
        QTest::addColumn<OptionKey>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("size in letters") << OptionKey::Size << "big" << 0LL;
        QTest::newRow("sound beyond int") << OptionKey::BuiltInSound << "99999999999" << 107LL;
        QTest::newRow("background blank") << OptionKey::BackgroundColor << " " << 5LL;
        QTest::newRow("flag in words") << OptionKey::PlaySound << "maybe" << 1LL;
        QTest::newRow("auto restart as a digit") << OptionKey::AutoRestart << "1" << 1LL;
        QTest::newRow("auto restart as a word") << OptionKey::AutoRestart << "True" << 1LL;
        QTest::newRow("auto restart words fall back to off") << OptionKey::AutoRestart << "perhaps" << 0LL;
        QTest::newRow("colour beyond 32 bits") << OptionKey::DigitColor << "4294967296" << 0xFFFFLL;
        QTest::newRow("colour unsigned") << OptionKey::ButtonColor << "2147483663" << 0x8000000FLL;
    }

    void valuesThatDoNotConvertFallBack()
    {
        QFETCH(OptionKey, key);
        QFETCH(QString, stored);
        QFETCH(qlonglong, value);
        store(Catalogue::keyName(key), stored);
        const Catalogue catalogue(m_store);
        QCOMPARE(catalogue.readText(key), stored);
        if (key == OptionKey::PlaySound || key == OptionKey::AutoRestart)
            QCOMPARE(qlonglong(catalogue.readFlag(key)), value);
        else if (key == OptionKey::DigitColor || key == OptionKey::ButtonColor)
            QCOMPARE(qlonglong(catalogue.readColor(key)), value);
        else
            QCOMPARE(qlonglong(catalogue.readInt(key)), value);
    }

    void systemColourRoundTrips()
    {
        Catalogue catalogue(m_store);
        QVERIFY(catalogue.writeColor(OptionKey::ButtonColor, 0x8000000Fu));
        QCOMPARE(catalogue.readText(OptionKey::ButtonColor), QStringLiteral("-2147483633"));
        QCOMPARE(catalogue.readColor(OptionKey::ButtonColor), 0x8000000Fu);
        QVERIFY(catalogue.writeColor(OptionKey::DigitColor, 0x00FF00FFu));
        QCOMPARE(catalogue.readText(OptionKey::DigitColor), QStringLiteral("16711935"));
    }

    void booleanTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<bool>("result");
        QTest::newRow("TRUE") << "TRUE" << false << true;
        QTest::newRow("padded") << " True " << false << true;
        QTest::newRow("2.5") << "2.5" << false << true;
        QTest::newRow("empty") << "" << true << true;
        QTest::newRow("yes") << "yes" << false << false;
        QTest::newRow("nan") << "nan" << true << true;
    }

    void booleanTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, fallback);
        QFETCH(bool, result);
        QCOMPARE(textToBool(text, fallback), result);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
