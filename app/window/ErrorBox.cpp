#include "app/window/ErrorBox.h"

#include <QMessageBox>
#include <QStringDecoder>

#include "app/Conversion.h"
#include "platform/CodePage.h"

namespace {

TErrorBoxHook& Hook()
{
    static TErrorBoxHook hook;
    return hook;
}

} // namespace

void SetErrorBoxHook(TErrorBoxHook hook)
{
    Hook() = std::move(hook);
}

void ShowErrorBox(QWidget* parent, const QString& caption, const QString& text)
{
    if (Hook())
        Hook()(parent, caption, text);
    else
        QMessageBox::critical(parent, caption, text, QMessageBox::Ok);
}

QString MessageText(const std::string& message)
{
    const QByteArray bytes = QByteArray::fromStdString(message);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromStdU16String(AnsiToWide(message));
}

void HandleApplicationError(QWidget* parent, const std::exception& error)
{
    ShowErrorBox(parent, QStringLiteral("Quillon"), MessageText(ErrorMessageText(error)));
}
