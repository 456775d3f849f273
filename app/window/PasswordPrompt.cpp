#include "app/window/PasswordPrompt.h"

#include <QInputDialog>
#include <QLineEdit>

namespace {

TPasswordPromptHook& Hook()
{
    static TPasswordPromptHook hook;
    return hook;
}

} // namespace

void SetPasswordPromptHook(TPasswordPromptHook hook)
{
    Hook() = std::move(hook);
}

std::optional<QString> AskPassword(QWidget* parent, const QString& path)
{
    const QString label = QStringLiteral("Kennwort für ") + path + QStringLiteral(":");
    if (Hook())
        return Hook()(parent, label);
    bool accepted = false;
    const QString password =
        QInputDialog::getText(parent, QStringLiteral("Quillon"), label, QLineEdit::Password, QString(), &accepted);
    if (!accepted)
        return std::nullopt;
    return password;
}
