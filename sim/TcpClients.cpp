#include "TcpClients.h"

#include "FdLineChannel.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include <poll.h>
#include <unistd.h>

LoopEnd ServeClients(CTcpListener& listener, CDeviceModel& model, const LineBehaviour& line,
                     const CDeviceLoop::LogFn& log, const CDeviceLoop::MemoryFn& saveMemory,
                     int stopFd, int inputFd, std::ostream& err) {
    for (;;) {
        pollfd fds[3] = {{listener.Fd(), POLLIN, 0}, {stopFd, POLLIN, 0}, {inputFd, POLLIN, 0}};
        const int ready = ::poll(fds, inputFd >= 0 ? 3 : 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            err << "qal-sim: poll failed: " << std::strerror(errno) << '\n';
            return LoopEnd::LineFailed;
        }
        if (fds[1].revents != 0) {
            return LoopEnd::Stopped;
        }
        if (inputFd >= 0 && fds[2].revents != 0) {
            char discard[256];
            const ssize_t n = ::read(inputFd, discard, sizeof discard);
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
                return LoopEnd::InputEnded;
            }
        }
        if (fds[0].revents == 0) {
            continue;
        }
        std::string error;
        const CUniqueFd client = listener.Accept(error);
        if (!client.IsOpen()) {
            if (!error.empty()) {
                err << "qal-sim: cannot take a connection: " << error << '\n';
            }
            continue;
        }
        err << "qal-sim: a client connected\n";
        CFdLineChannel channel(client.Get(), stopFd, inputFd);
        CDeviceLoop loop(channel, model, line, log, saveMemory);
        const LoopEnd end = loop.Run();
        if (end != LoopEnd::LineFailed) {
            return end;
        }
        err << "qal-sim: the client went (" << loop.Failure() << ")\n";
    }
}
