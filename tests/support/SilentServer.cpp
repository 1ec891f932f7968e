#include "tests/support/SilentServer.h"

#include <QRegularExpression>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

SilentServer::SilentServer() : FSocket(::socket(AF_INET, SOCK_STREAM, 0)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  auto* any = reinterpret_cast<sockaddr*>(&address);
  if (::bind(FSocket, any, size) == 0 && ::listen(FSocket, 16) == 0 &&
      ::getsockname(FSocket, any, &size) == 0)
    FPort = ntohs(address.sin_port);
}

SilentServer::~SilentServer() {
  ::close(FSocket);
}

QString SilentServer::Reached(QString connection) const {
  return connection.replace(QRegularExpression(QStringLiteral("Port=\\d+")),
                            QStringLiteral("Port=%1").arg(FPort));
}
