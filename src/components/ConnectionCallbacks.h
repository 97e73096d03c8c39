#pragma once

// Seen only by RemoteConnection.cpp, which hands these functions to curl.
#include "components/RemoteConnection.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>

#include <sys/socket.h>

// curl's callbacks, which see the connection's private progress.
struct ConnectionCallbacks
{
    static curl_socket_t openSocket(void* clientp, curlsocktype, curl_sockaddr* address)
    {
        auto* self = static_cast<RemoteConnection*>(clientp);
        self->m_sinceActivity.start();
        if (self->m_listener)
            self->m_listener->socketOpening();
        return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    }

    static int prerequest(void* clientp, char*, char*, int, int)
    {
        auto* self = static_cast<RemoteConnection*>(clientp);
        if (self->m_listener)
            self->m_listener->requesting();
        return CURL_PREREQFUNC_OK;
    }

    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* clientp)
    {
        auto* self = static_cast<RemoteConnection*>(clientp);
        self->m_sinceActivity.start();
        if (type != CURLINFO_HEADER_OUT && type != CURLINFO_HEADER_IN)
            return 0;
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(size)).trimmed();
        if (type == CURLINFO_HEADER_OUT) {
            self->m_dialogue.append({line, QByteArray()});
            if (self->m_listener)
                self->m_listener->sent(line);
            return 0;
        }
        self->m_lastReply = line;
        if (!self->m_dialogue.isEmpty() && self->m_dialogue.last().second.isEmpty())
            self->m_dialogue.last().second = line;
        if (self->m_listener)
            self->m_listener->received(line);
        return 0;
    }

    static size_t read(char* buffer, size_t size, size_t count, void* clientp)
    {
        auto* self = static_cast<RemoteConnection*>(clientp);
        self->m_readStarted = true;
        const qsizetype left = self->m_upload->size() - self->m_uploaded;
        const qsizetype chunk = std::min(left, static_cast<qsizetype>(size * count));
        std::memcpy(buffer, self->m_upload->constData() + self->m_uploaded,
                    static_cast<size_t>(chunk));
        self->m_uploaded += chunk;
        return static_cast<size_t>(chunk);
    }

    static size_t write(char* data, size_t size, size_t count, void* clientp)
    {
        auto* self = static_cast<RemoteConnection*>(clientp);
        const auto bytes = static_cast<qsizetype>(size * count);
        const qsizetype room = self->m_downloadLimit - self->m_download->size();
        self->m_download->append(data, std::min(bytes, room));
        if (bytes <= room)
            return size * count;
        self->m_downloadCut = true;
        return 0;
    }

    // Also the watchdog of each wait: curl calls it about once a second, whatever it waits for.
    static int progress(void* clientp, curl_off_t, curl_off_t downloaded, curl_off_t,
                        curl_off_t uploaded)
    {
        auto* self = static_cast<RemoteConnection*>(clientp);
        if (self->aborting())
            return 1;
        const qint64 moved = static_cast<qint64>(downloaded + uploaded);
        if (moved != self->m_bytesMoved) {
            self->m_bytesMoved = moved;
            self->m_sinceActivity.start();
        }
        if (self->m_sinceActivity.elapsed() <= self->m_waitLimitMs)
            return 0;
        self->m_waitedTooLong = true;
        return 1;
    }
};
