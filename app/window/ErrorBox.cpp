#include "app/window/ErrorBox.h"

#include <QMessageBox>
#include <QStringDecoder>

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

QString WithClosingFullStop(const QString& text)
{
    if (!text.isEmpty() && text.back() > QChar(u'.'))
        return text + u'.';
    return text;
}

QString ExceptionText(const std::exception& error)
{
    const QByteArray bytes(error.what());
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromStdU16String(AnsiToWide(bytes.toStdString()));
}

void HandleApplicationError(QWidget* parent, const std::exception& error)
{
    ShowErrorBox(parent, QStringLiteral("Quillon"), WithClosingFullStop(ExceptionText(error)));
}
