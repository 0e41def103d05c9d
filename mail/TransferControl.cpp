#include "mail/TransferControl.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

void TransferControl::attach(CURL* easy)
{
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &TransferControl::openSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &TransferControl::closeSocket);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &TransferControl::progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
}

void TransferControl::cancel(const QString& reason)
{
    const std::lock_guard lock(mutex_);
    if (!cancelled_)
        reason_ = reason;
    cancelled_ = true;
    // The descriptors stay open until libcurl closes them, so none can have been reused.
    for (const curl_socket_t socket : sockets_)
        ::shutdown(socket, SHUT_RDWR);
}

QString TransferControl::reason() const
{
    const std::lock_guard lock(mutex_);
    return reason_;
}

curl_socket_t TransferControl::openSocket(void* control, curlsocktype, curl_sockaddr* address)
{
    auto& self = *static_cast<TransferControl*>(control);
    const std::lock_guard lock(self.mutex_);
    if (self.cancelled_)
        return CURL_SOCKET_BAD;
    const curl_socket_t socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket != CURL_SOCKET_BAD)
        self.sockets_.push_back(socket);
    return socket;
}

int TransferControl::closeSocket(void* control, curl_socket_t socket)
{
    auto& self = *static_cast<TransferControl*>(control);
    const std::lock_guard lock(self.mutex_);
    std::erase(self.sockets_, socket);
    return ::close(socket);
}

int TransferControl::progress(void* control, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<TransferControl*>(control)->cancelled_ ? 1 : 0;
}
