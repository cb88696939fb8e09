#include "shell/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace zentimo {

namespace {
ShellOpenRecorder* g_recorder = nullptr;
}

ShellOpenRecorder::ShellOpenRecorder()
{
    g_recorder = this;
}

ShellOpenRecorder::~ShellOpenRecorder()
{
    if (g_recorder == this)
        g_recorder = nullptr;
}

void ShellOpen(QWidget*, const QString& target)
{
    if (g_recorder) {
        g_recorder->m_opened << target;
        return;
    }
    // Only whole addresses with a scheme go out; a bare word must not be taken for a local file.
    const QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty())
        QDesktopServices::openUrl(url);
}

} // namespace zentimo
