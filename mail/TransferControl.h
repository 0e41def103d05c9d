#pragma once

#include <curl/curl.h>

#include <QString>

#include <atomic>
#include <mutex>
#include <vector>

// Lets one thread end a libcurl transfer running on another at once: the
// sockets the transfer opens are recorded, and cancelling shuts them down,
// which ends every wait inside libcurl (replies, QUIT, clean-up); a transfer
// still resolving or connecting is stopped by its progress callback.
class TransferControl {
public:
    TransferControl() = default;
    TransferControl(const TransferControl&) = delete;
    TransferControl& operator=(const TransferControl&) = delete;

    // Installs the socket and progress callbacks on the handle.
    void attach(CURL* easy);
    // Ends the transfer; the first reason given is kept.
    void cancel(const QString& reason);
    bool cancelled() const { return cancelled_; }
    QString reason() const;

private:
    static curl_socket_t openSocket(void* control, curlsocktype purpose, curl_sockaddr* address);
    static int closeSocket(void* control, curl_socket_t socket);
    static int progress(void* control, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    mutable std::mutex mutex_;
    std::atomic<bool> cancelled_{false};
    std::vector<curl_socket_t> sockets_;
    QString reason_;
};
