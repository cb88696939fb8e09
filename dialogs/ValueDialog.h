#pragma once
// The contract of every dialog of the program: the starting value goes in through the constructor, the
// user's result comes out of run(). A dialog reads no setting and writes no main window; whoever opened it
// applies and saves the result.

#include <QDialog>
#include <optional>
#include <utility>

namespace zentimo {

template <class Result> class ValueDialog : public QDialog {
public:
    // Shows the dialog modally: what its accepting button handed over, nothing after Cancel, Esc or the
    // close box.
    std::optional<Result> run()
    {
        m_answer.reset();
        exec();
        return m_answer;
    }
    // What the last closing handed over, for a dialog shown without run().
    const std::optional<Result>& answer() const { return m_answer; }

    void reject() override
    {
        m_answer.reset();
        QDialog::reject();
    }

protected:
    using QDialog::QDialog;

    void acceptWith(Result result)
    {
        m_answer = std::move(result);
        accept();
    }

private:
    std::optional<Result> m_answer;
};

} // namespace zentimo
