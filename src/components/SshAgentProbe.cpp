#include "components/SshAgentProbe.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QtEndian>

namespace {

constexpr char kRequestIdentities = 11;
constexpr char kIdentitiesAnswer = 12;
// OpenSSH's own agent refuses messages longer than this.
constexpr quint32 kLongestMessage = 256 * 1024;

class BoundedReader
{
public:
    BoundedReader(QLocalSocket& socket, const QDeadlineTimer& deadline)
        : m_socket(socket), m_deadline(deadline)
    {
    }

    // Exactly `size` bytes, or nothing when they do not come before the deadline.
    std::optional<QByteArray> read(qsizetype size)
    {
        QByteArray bytes;
        while (bytes.size() < size) {
            if (m_socket.bytesAvailable() == 0 &&
                !m_socket.waitForReadyRead(static_cast<int>(m_deadline.remainingTime())))
                return std::nullopt;
            bytes += m_socket.read(size - bytes.size());
        }
        return bytes;
    }

private:
    QLocalSocket& m_socket;
    const QDeadlineTimer& m_deadline;
};

// The key count of an identities answer whose every key and comment lies within it.
std::optional<quint32> KeyCount(const QByteArray& answer)
{
    if (answer.size() < 5 || answer[0] != kIdentitiesAnswer)
        return std::nullopt;
    const quint32 count = qFromBigEndian<quint32>(answer.constData() + 1);
    qsizetype at = 5;
    for (quint64 field = 0; field < quint64(count) * 2; ++field) {
        if (answer.size() - at < 4)
            return std::nullopt;
        const quint32 length = qFromBigEndian<quint32>(answer.constData() + at);
        at += 4;
        if (length > static_cast<quint32>(answer.size() - at))
            return std::nullopt;
        at += length;
    }
    return count;
}

} // namespace

bool SshAgentOffersKeys(const QString& socketPath, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    QLocalSocket agent;
    agent.connectToServer(socketPath);
    if (!agent.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return false;
    const char request[] = {0, 0, 0, 1, kRequestIdentities};
    agent.write(request, sizeof request);
    if (!agent.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return false;
    BoundedReader reader(agent, deadline);
    const std::optional<QByteArray> header = reader.read(4);
    if (!header)
        return false;
    const quint32 length = qFromBigEndian<quint32>(header->constData());
    if (length == 0 || length > kLongestMessage)
        return false;
    const std::optional<QByteArray> answer = reader.read(length);
    const std::optional<quint32> keys = answer ? KeyCount(*answer) : std::nullopt;
    return keys && *keys > 0;
}
