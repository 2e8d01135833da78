#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

// A tile server on 127.0.0.1 answering GET /z/x/y.png with a generated tile of one colour, cacheable for a
// day; it counts the requests and keeps the last User-Agent.
class TileServer : public QObject {
public:
    static inline const QColor kTileColor{0x33, 0x99, 0x66};

    TileServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        });
    }
    QString urlTemplate() const {
        return QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server_.serverPort());
    }
    void close() { server_.close(); }

    int requests = 0;
    QByteArray userAgent;

private:
    void answer(QTcpSocket *socket) {
        const QByteArray request = socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        ++requests;
        static const QRegularExpression agent(QStringLiteral("(?i)User-Agent: ([^\r]*)"));
        userAgent = agent.match(QString::fromLatin1(request)).captured(1).toLatin1();
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(kTileColor);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        tile.save(&buffer, "PNG");
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=86400\r\n"
            "Last-Modified: Sat, 05 Dec 2026 12:00:00 GMT\r\nConnection: close\r\nContent-Length: " +
            QByteArray::number(png.size()) + "\r\n\r\n" + png);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
};
