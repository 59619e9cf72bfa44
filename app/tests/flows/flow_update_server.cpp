// The update server of the user flows, on 127.0.0.1: answers every update check with one
// canned JSON reply (the environment variable FLOW_UPDATE_REPLY), or holds every connection
// without a word, until the flow script ends it. Prints its port on the first line and
// "requested" once the first request came in. Usage: flow_update_server answer|silent
#include "support/LoopbackServer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    bool silent = argc == 2 && std::strcmp(argv[1], "silent") == 0;
    bool answer = argc == 2 && std::strcmp(argv[1], "answer") == 0;
    const char* reply = std::getenv("FLOW_UPDATE_REPLY");
    if (!silent && !(answer && reply)) {
        std::fprintf(stderr, "usage: FLOW_UPDATE_REPLY=<JSON> flow_update_server answer | flow_update_server silent\n");
        return 2;
    }
    // A start-up check and the ones asked for from the menu, with the program's start
    // (slow on a loaded machine) in between.
    const int connections = 20;
    const int idleMs = 120000;
    zemtest::LoopbackServer server(
        silent ? zemtest::LoopbackServer::SILENT : zemtest::LoopbackServer::ANSWER,
        answer ? zemtest::httpAnswer("HTTP/1.0 200 OK", reply, "Content-Type: application/json\r\n") : "",
        connections, idleMs);
    std::printf("%u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    if (server.waitForRequest(idleMs)) {
        std::printf("requested\n");
        std::fflush(stdout);
    }
    // Ended by the script; on its own after three minutes, without waiting for a client.
    Sleep(180000);
    ExitProcess(0);
}
