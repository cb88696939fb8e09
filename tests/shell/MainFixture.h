#pragma once
// The real main windows on the offscreen platform, with a silent sound back end and a private
// registry file; and the controls of the program's dialogs, found by object name.

#include "ManualClock.h"
#include "SilentAudio.h"
#include "TestKit.h"
#include "app/Controller.h"
#include "engine/Engine.h"
#include "settings/CRegSettings.h"
#include "shell/Form1.h"
#include "shell/Form1b.h"
#include "shell/UpDown.h"
#include "shell/kit/MessageBox.h"
#include "sound/SoundPlayer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace zentimo::test {

struct MainFixture {
    std::unique_ptr<QTemporaryDir> config;
    SilentAudio* audio = nullptr;
    std::unique_ptr<SoundPlayer> sound;
    ManualClock* clock = nullptr;
    std::unique_ptr<Engine> engine;
    std::unique_ptr<Controller> app;
    Form1* form1 = nullptr;

    // A fresh configuration folder; seed() may write settings before load().
    void prepare()
    {
        teardown();
        MessageBox::setTestMode(true);
        MessageBox::clear();
        config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config->path().toUtf8());
    }
    void seed(const QString& key, const QString& value, const QString& section = QStringLiteral("Options"))
    {
        zentimoSettings().SaveSetting(section, key, value);
    }
    QString stored(const QString& key, const QString& def = QStringLiteral("<missing>")) const
    {
        return zentimoSettings().GetSetting(QStringLiteral("Options"), key, def);
    }
    void load(const QDateTime& now = QDateTime(QDate(2026, 12, 6), QTime(21, 5)))
    {
        auto backend = std::make_unique<SilentAudio>();
        audio = backend.get();
        sound = std::make_unique<SoundPlayer>(std::move(backend));
        auto c = std::make_unique<ManualClock>(now);
        clock = c.get();
        engine = std::make_unique<Engine>(*sound, std::move(c));
        app = std::make_unique<Controller>(*engine);
        form1 = &app->form1();
    }
    void start(int size = 0)
    {
        load();
        app->size(size);
    }
    void teardown()
    {
        form1 = nullptr;
        app.reset();
        engine.reset();
        sound.reset();
    }

    Form1b& big() const { return app->big(); }
    static QString time(MainWindow& w)
    {
        return w.fieldText(TimeField::Hours) + ":" + w.fieldText(TimeField::Minutes) + ":" +
               w.fieldText(TimeField::Seconds);
    }
    void setTime(MainWindow& w, const QString& h, const QString& m, const QString& s)
    {
        w.setFieldText(TimeField::Hours, h);
        w.setFieldText(TimeField::Minutes, m);
        w.setFieldText(TimeField::Seconds, s);
    }
    static void activate(QWidget& w)
    {
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
};

// Runs action on the next modal dialog once it is up; rejects it if the action leaves it open.
inline void onNextModal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            onNextModal(action);
            return;
        }
        action(modal);
        if (auto* d = qobject_cast<QDialog*>(modal); d && d->isVisible())
            d->reject();
    });
}

// The control named name (and, for a control array, carrying index) inside root.
template <class T> T* ctl(QWidget* root, const char* name, int index = -1)
{
    for (T* w : root->findChildren<T*>(QString::fromLatin1(name))) {
        const QVariant i = w->property("index");
        if (index < 0 ? !i.isValid() : (i.isValid() && i.toInt() == index))
            return w;
    }
    return nullptr;
}

// A control a table row clicks: its objectName and, in a control array, its index.
struct Click {
    const char* name;
    int index = -1;
};

inline void click(QWidget* root, const char* name, int index = -1)
{
    auto* b = ctl<QAbstractButton>(root, name, index);
    QVERIFY2(b, name);
    // Check boxes and option buttons take clicks on their box and caption only: aim at the box.
    const bool boxed = qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, boxed ? QPoint(7, b->height() / 2) : b->rect().center());
}

} // namespace zentimo::test
