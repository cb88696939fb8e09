#pragma once
// Helpers for the dialog tests: controls found by object name (and index for control arrays), the
// registry file as text, and sound files to choose.

#include "shell/MainFixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QVariant>

namespace zentimo::test {

// The control named name (and, for a control array, carrying index) inside root.
template <class T> T* ctl(QWidget* root, const char* name, int index = -1)
{
    const auto found = root->findChildren<T*>(QString::fromLatin1(name));
    for (T* w : found) {
        const QVariant i = w->property("index");
        if (index < 0 ? !i.isValid() : (i.isValid() && i.toInt() == index))
            return w;
    }
    return nullptr;
}

inline void click(QWidget* root, const char* name, int index = -1)
{
    auto* b = ctl<QAbstractButton>(root, name, index);
    QVERIFY2(b, name);
    // Check boxes and option buttons take clicks on their box and caption only: aim at the box.
    const bool boxed = qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, boxed ? QPoint(7, b->height() / 2) : b->rect().center());
}

inline QString registryText()
{
    QFile f(CRegSettings::defaultFilePath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// A value line of the registry file: "name"="text", with backslashes and quotes escaped.
inline QString regLine(const QString& name, QString value)
{
    value.replace(QLatin1String("\\"), QLatin1String("\\\\"))
        .replace(QLatin1String("\""), QLatin1String("\\\""));
    return QLatin1Char('"') + name + QStringLiteral("\"=\"") + value + QLatin1Char('"');
}

// A file with the given name in dir, holding text.
inline QString makeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text = "RIFF")
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}

} // namespace zentimo::test
