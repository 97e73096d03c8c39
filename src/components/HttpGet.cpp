#include "components/HttpGet.h"

#include "components/TrustedAuthorities.h"

#include <curl/curl.h>

#include <memory>

namespace {

struct Body
{
    QByteArray bytes;
    qsizetype limit;
    bool cut = false;
};

size_t keep(char* data, size_t size, size_t count, void* userdata)
{
    auto* body = static_cast<Body*>(userdata);
    const qsizetype room = body->limit - body->bytes.size();
    body->bytes.append(data, std::min(room, static_cast<qsizetype>(size * count)));
    // More than the limit ends the transfer: what came is all that is read.
    if (static_cast<qsizetype>(size * count) <= room)
        return size * count;
    body->cut = true;
    return 0;
}

} // namespace

HttpGetResult HttpGet(const HttpGetRequest& request)
{
    HttpGetResult result;
    const std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        result.error = QStringLiteral("cannot start an HTTP transfer");
        return result;
    }
    CURL* c = curl.get();
    const QByteArray url = request.url.toUtf8();
    const QByteArray user = request.user.toUtf8();
    const QByteArray password = request.password.toUtf8();
    Body body{{}, request.limit};
    char words[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c, CURLOPT_USERAGENT, request.userAgent.constData());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, request.timeoutSeconds);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, request.timeoutSeconds);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &keep);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, words);
    TrustAuthorities(c, request.trustedAuthorities);
    const CURLcode code = curl_easy_perform(c);
    if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && body.cut)) {
        result.error =
            words[0] ? QString::fromUtf8(words) : QString::fromUtf8(curl_easy_strerror(code));
        return result;
    }
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.status);
    result.body = body.bytes;
    result.cut = body.cut;
    return result;
}
