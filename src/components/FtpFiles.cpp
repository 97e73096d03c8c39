#include "components/FtpFiles.h"

namespace {

int replyCode(const QByteArray& reply)
{
    return reply.left(3).toInt();
}

bool permanent(int code)
{
    return code >= 500 && code <= 599;
}

} // namespace

std::optional<TransferFailure> FtpFiles::send(const QByteArray& line)
{
    // "*": a refusal is not a failure of the whole exchange, so the connection stays open;
    // the reply is examined by the caller.
    RemoteExchange exchange;
    exchange.commands = {'*' + line};
    return m_connection.failure(m_connection.perform(m_request, exchange));
}

std::optional<TransferFailure> FtpFiles::command(const QByteArray& line, QList<int> accepted)
{
    if (auto failure = send(line))
        return failure;
    const QByteArray reply =
        m_connection.replyTo(line.left(line.indexOf(' ') + 1)).value_or(QByteArray());
    const int code = replyCode(reply);
    if (accepted.contains(code))
        return std::nullopt;
    return TransferFailure{code, QString::fromUtf8(reply), permanent(code)};
}

std::optional<TransferFailure> FtpFiles::remove(const QByteArray& path)
{
    return command("DELE " + path, {200, 250});
}

bool FtpFiles::storeBegun() const
{
    return m_connection.replyTo("STOR ").has_value();
}

RemoteFiles::Size FtpFiles::size(const QByteArray& path)
{
    Size size;
    size.failure = send("SIZE " + path);
    const QByteArray reply = m_connection.replyTo("SIZE ").value_or(QByteArray());
    bool known = false;
    const qint64 bytes = reply.mid(4).trimmed().toLongLong(&known);
    // Any other answer: the server does not tell sizes, and the content is compared instead.
    if (!size.failure && replyCode(reply) == 213 && known)
        size.bytes = bytes;
    return size;
}

std::optional<TransferFailure> FtpFiles::rename(const QByteArray& from, const QByteArray& to)
{
    // RNTO only after the server took RNFR: on its own it would name whatever it last held.
    if (auto refusal = command("RNFR " + from, {350}))
        return refusal;
    return command("RNTO " + to, {250, 200});
}
