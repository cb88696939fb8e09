#include "shell/kit/MessageBox.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QQueue>

namespace zentimo {

namespace {
bool g_testMode = false;
QQueue<MessageBox::Answer> g_answers;
QList<MessageBox::Record> g_shown;
QQueue<QString> g_fileNames;
QList<FileDialog::Request> g_requests;

QMessageBox::Icon qtIcon(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Icon::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Icon::Question:
        return QMessageBox::Question;
    case MessageBox::Icon::Information:
        return QMessageBox::Information;
    case MessageBox::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, const QString& title, Icon icon,
                                    Buttons buttons)
{
    if (g_testMode) {
        g_shown.append({text, title, icon, buttons});
        if (!g_answers.isEmpty())
            return g_answers.dequeue();
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    QMessageBox box(qtIcon(icon), title, text,
                    buttons == Buttons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (buttons == Buttons::YesNo) {
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.exec();
    return Answer::Ok;
}

void MessageBox::setTestMode(bool on)
{
    g_testMode = on;
}

void MessageBox::queueAnswer(Answer answer)
{
    g_answers.enqueue(answer);
}

QList<MessageBox::Record>& MessageBox::shown()
{
    return g_shown;
}

void MessageBox::clear()
{
    g_answers.clear();
    g_shown.clear();
    g_fileNames.clear();
    g_requests.clear();
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter)
{
    if (g_testMode) {
        g_requests.append({title, folder, filter});
        return g_fileNames.isEmpty() ? QString() : g_fileNames.dequeue();
    }
    // QFileDialog only returns existing files from an open dialog.
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

void FileDialog::queueFileName(const QString& path)
{
    g_fileNames.enqueue(path);
}

QList<FileDialog::Request>& FileDialog::requests()
{
    return g_requests;
}

} // namespace zentimo
