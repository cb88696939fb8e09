#pragma once
// Every message box and file dialog of the program goes through here, so that tests can answer them.

#include "engine/Face.h"

#include <QList>
#include <QString>

class QWidget;

namespace zentimo {

class MessageBox {
public:
    enum class Icon { None, Exclamation, Question, Information };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct Record {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    // Shows a modal box and waits for the answer.
    static Answer show(QWidget* parent, const QString& text, const QString& title, Icon icon = Icon::None,
                       Buttons buttons = Buttons::Ok);

    // Test seam: while on, no box is shown; each is recorded and answered with the next queued answer,
    // or with Ok / No when none is queued. Off, nothing is recorded.
    static void setTestMode(bool on);
    static void queueAnswer(Answer answer);
    static QList<Record>& shown();
    static void clear();
};

class FileDialog {
public:
    // The platform's open-file dialog: an existing file or the empty text.
    static QString getOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                   const QString& filter);

    // Test seam, active while MessageBox test mode is on: answers the next dialog with this path
    // ("" when none is queued) and records the request.
    static void queueFileName(const QString& path);
    struct Request {
        QString title;
        QString folder;
        QString filter;
    };
    static QList<Request>& requests();
};

} // namespace zentimo
