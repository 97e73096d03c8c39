#pragma once

#include <QByteArray>

#include <curl/curl.h>

// Has `curl` trust the PEM authorities in `pem` in addition to the system's store, which stays
// in place as the CA path; nothing when `pem` is empty. curl keeps a copy.
inline void TrustAuthorities(CURL* curl, const QByteArray& pem)
{
    if (pem.isEmpty())
        return;
    curl_blob authorities{const_cast<char*>(pem.constData()), static_cast<size_t>(pem.size()),
                          CURL_BLOB_COPY};
    curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &authorities);
}
