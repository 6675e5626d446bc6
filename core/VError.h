// The error raised by any operation that fails; its message is the text the user is shown.
#pragma once

#include <QString>
#include <exception>

class VantrelError : public std::exception {
public:
    explicit VantrelError(QString message) : Message(std::move(message)), Utf8(Message.toUtf8()) {}
    const QString& message() const noexcept { return Message; }
    const char* what() const noexcept override { return Utf8.constData(); }

private:
    QString Message;
    QByteArray Utf8;
};
