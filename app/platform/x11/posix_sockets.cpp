// The sockets shim on Linux: BSD sockets need no library start, and a
// receive is asked for the datagram's true length so that one longer than
// the buffer is reported as such rather than passed on cut short.
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "platform/sockets.h"

bool StartSocketLibrary() { return true; }

void EndSocketLibrary() {}

SocketHandle OpenUdpSocket() {
    // Close-on-exec, so that programs the saver starts do not inherit it.
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    return fd < 0 ? kNoSocket : static_cast<SocketHandle>(fd);
}

bool MakeSocketNonBlocking(SocketHandle socket) {
    int fd = static_cast<int>(socket);
    int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

void CloseUdpSocket(SocketHandle socket) { close(static_cast<int>(socket)); }

uint32_t LookUpHostAddress(const char* host) {
    hostent* entry = gethostbyname(host);
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != sizeof(in_addr) ||
        !entry->h_addr_list[0]) {
        return 0;
    }
    in_addr address;
    memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address.s_addr;
}

uint32_t ParseDottedAddress(const char* host) { return inet_addr(host); }

bool ConnectUdpSocket(SocketHandle socket, uint32_t address, uint16_t port) {
    sockaddr_in server;
    memset(&server, 0, sizeof server);
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = address;
    int result = connect(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&server), sizeof server);
    return result == 0 || errno == EINPROGRESS;
}

bool SendDatagram(SocketHandle socket, const void* data, size_t size) {
    return send(static_cast<int>(socket), data, size, MSG_NOSIGNAL) >= 0;
}

ReceiveResult ReceiveDatagram(SocketHandle socket, void* buffer, size_t capacity, size_t* length) {
    // MSG_TRUNC returns the datagram's full length even when only capacity
    // bytes of it were copied.
    ssize_t received = recv(static_cast<int>(socket), buffer, capacity, MSG_TRUNC | MSG_DONTWAIT);
    if (received < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return ReceiveResult::NothingWaiting;
        return ReceiveResult::Failed;
    }
    if (static_cast<size_t>(received) > capacity) return ReceiveResult::Oversized;
    *length = static_cast<size_t>(received);
    return ReceiveResult::Datagram;
}
