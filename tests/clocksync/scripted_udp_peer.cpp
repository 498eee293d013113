// The scripted peer over Winsock or BSD sockets. Test code, so the two
// socket APIs are told apart here rather than through the shim the client
// under test uses.
#include "scripted_udp_peer.h"

#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
using PeerSocket = SOCKET;
using AddressLength = int;
static void ClosePeerSocket(PeerSocket s) { closesocket(s); }
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
using PeerSocket = int;
using AddressLength = socklen_t;
static void ClosePeerSocket(PeerSocket s) { close(s); }
#endif

static_assert(sizeof(sockaddr_in) <= 16, "client address field too small");

ScriptedUdpPeer::ScriptedUdpPeer() {
#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
#endif
    PeerSocket s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local;
    memset(&local, 0, sizeof local);
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    local.sin_port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ClosePeerSocket(s);
        return;
    }
    AddressLength length = sizeof local;
    getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    port = ntohs(local.sin_port);
    socketHandle = static_cast<intptr_t>(s);
}

ScriptedUdpPeer::~ScriptedUdpPeer() {
    if (socketHandle == -1) return;
    ClosePeerSocket(static_cast<PeerSocket>(socketHandle));
#ifdef _WIN32
    WSACleanup();
#endif
}

bool ScriptedUdpPeer::Ready() const { return socketHandle != -1; }

bool ScriptedUdpPeer::ReceiveRequest(std::vector<uint8_t>* request, int timeoutMs) {
    PeerSocket s = static_cast<PeerSocket>(socketHandle);
#ifdef _WIN32
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    if (select(0, &readable, nullptr, nullptr, &wait) != 1) return false;
#else
    pollfd waiting = {s, POLLIN, 0};
    if (poll(&waiting, 1, timeoutMs) != 1) return false;
#endif
    uint8_t buffer[512];
    sockaddr_in from;
    AddressLength fromLength = sizeof from;
    int received = static_cast<int>(recvfrom(s, reinterpret_cast<char*>(buffer), sizeof buffer, 0,
                                             reinterpret_cast<sockaddr*>(&from), &fromLength));
    if (received < 0) return false;
    memcpy(clientAddress, &from, sizeof from);
    haveClient = true;
    request->assign(buffer, buffer + received);
    return true;
}

bool ScriptedUdpPeer::Send(const std::vector<uint8_t>& datagram) {
    if (!haveClient) return false;
    return sendto(static_cast<PeerSocket>(socketHandle), reinterpret_cast<const char*>(datagram.data()),
                  static_cast<int>(datagram.size()), 0, reinterpret_cast<const sockaddr*>(clientAddress),
                  sizeof(sockaddr_in)) == static_cast<int>(datagram.size());
}
