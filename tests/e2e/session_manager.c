/* A minimal X session manager for end-to-end tests: it accepts one client,
 * and on "save" from standard input asks it to save for a shutdown with
 * interaction allowed, as a desktop logout does. It reports on standard
 * output, one line each: "listening <address>", "registered",
 * "interact-request", "interact-done cancel=<0|1>", "save-done success=<0|1>",
 * "closed". */

#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#define MAX_FDS 16

static SmsConn g_client;
static IceConn g_conns[MAX_FDS];
static int g_conn_count;

static void say(const char *line)
{
    printf("%s\n", line);
    fflush(stdout);
}

/* The test's own display and user only. */
static Bool allow_host(char *hostname) { return (void)hostname, True; }

static Status on_register(SmsConn c, SmPointer data, char *previous_id)
{
    (void)data;
    free(previous_id);
    char *id = SmsGenerateClientID(c);
    SmsRegisterClientReply(c, id ? id : (char *)"1quorvel-e2e-client");
    free(id);
    g_client = c;
    say("registered");
    return 1;
}

static void on_interact_request(SmsConn c, SmPointer data, int dialog_type)
{
    (void)data, (void)dialog_type;
    say("interact-request");
    SmsInteract(c);
}

static void on_interact_done(SmsConn c, SmPointer data, Bool cancel)
{
    (void)data;
    say(cancel ? "interact-done cancel=1" : "interact-done cancel=0");
    if (cancel)
        SmsShutdownCancelled(c);
}

static void on_save_request(SmsConn c, SmPointer d, int t, Bool s, int i, Bool f, Bool g)
{
    (void)c, (void)d, (void)t, (void)s, (void)i, (void)f, (void)g;
}

static void on_phase2(SmsConn c, SmPointer data)
{
    (void)data;
    SmsSaveYourselfPhase2(c);
}

static void on_save_done(SmsConn c, SmPointer data, Bool success)
{
    (void)c, (void)data;
    say(success ? "save-done success=1" : "save-done success=0");
}

static void on_close(SmsConn c, SmPointer data, int count, char **reasons)
{
    (void)data;
    SmFreeReasons(count, reasons);
    SmsCleanUp(c);
    if (c == g_client)
        g_client = NULL;
    say("closed");
}

static void on_set_properties(SmsConn c, SmPointer data, int count, SmProp **props)
{
    (void)c, (void)data;
    for (int i = 0; i < count; ++i)
        SmFreeProperty(props[i]);
    free(props);
}

static void on_delete_properties(SmsConn c, SmPointer data, int count, char **names)
{
    (void)c, (void)data;
    for (int i = 0; i < count; ++i)
        free(names[i]);
    free(names);
}

static void on_get_properties(SmsConn c, SmPointer data)
{
    (void)data;
    SmsReturnProperties(c, 0, NULL);
}

static Status on_new_client(SmsConn c, SmPointer data, unsigned long *mask, SmsCallbacks *cb, char **failure)
{
    (void)c, (void)data, (void)failure;
    memset(cb, 0, sizeof *cb);
    cb->register_client.callback = on_register;
    cb->interact_request.callback = on_interact_request;
    cb->interact_done.callback = on_interact_done;
    cb->save_yourself_request.callback = on_save_request;
    cb->save_yourself_phase2_request.callback = on_phase2;
    cb->save_yourself_done.callback = on_save_done;
    cb->close_connection.callback = on_close;
    cb->set_properties.callback = on_set_properties;
    cb->delete_properties.callback = on_delete_properties;
    cb->get_properties.callback = on_get_properties;
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask
        | SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask
        | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask
        | SmsGetPropertiesProcMask;
    return 1;
}

int main(void)
{
    char error[256];
    if (!SmsInitialize("quorvel-e2e", "1.0", on_new_client, NULL, allow_host, sizeof error, error)) {
        fprintf(stderr, "SmsInitialize: %s\n", error);
        return 1;
    }
    int count = 0;
    IceListenObj *listeners = NULL;
    if (!IceListenForConnections(&count, &listeners, sizeof error, error) || count == 0) {
        fprintf(stderr, "IceListenForConnections: %s\n", error);
        return 1;
    }
    for (int i = 0; i < count; ++i)
        IceSetHostBasedAuthProc(listeners[i], allow_host);
    char *address = IceComposeNetworkIdList(count, listeners);
    printf("listening %s\n", address);
    fflush(stdout);
    free(address);

    for (;;) {
        struct pollfd fds[1 + MAX_FDS + MAX_FDS];
        int n = 0;
        fds[n++] = (struct pollfd){.fd = 0, .events = POLLIN};
        for (int i = 0; i < count && n < MAX_FDS; ++i)
            fds[n++] = (struct pollfd){.fd = IceGetListenConnectionNumber(listeners[i]), .events = POLLIN};
        const int first_conn = n;
        for (int i = 0; i < g_conn_count; ++i)
            fds[n++] = (struct pollfd){.fd = IceConnectionNumber(g_conns[i]), .events = POLLIN};
        if (poll(fds, (nfds_t)n, -1) < 0)
            return 1;
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char line[64];
            if (!fgets(line, sizeof line, stdin) || strncmp(line, "quit", 4) == 0)
                return 0;
            if (strncmp(line, "save", 4) == 0 && g_client)
                SmsSaveYourself(g_client, SmSaveBoth, True, SmInteractStyleAny, False);
        }
        for (int i = 1; i < first_conn; ++i) {
            if (!(fds[i].revents & POLLIN))
                continue;
            IceAcceptStatus status;
            IceConn conn = IceAcceptConnection(listeners[i - 1], &status);
            if (conn && g_conn_count < MAX_FDS)
                g_conns[g_conn_count++] = conn;
        }
        for (int i = first_conn; i < n; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            IceConn conn = g_conns[i - first_conn];
            if (IceProcessMessages(conn, NULL, NULL) == IceProcessMessagesIOError) {
                IceCloseConnection(conn);
                g_conns[i - first_conn] = g_conns[--g_conn_count];
                break; /* the set changed: poll again */
            }
        }
    }
}
