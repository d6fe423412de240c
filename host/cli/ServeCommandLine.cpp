// The options of serve.
#include "serve/ServeCommand.h"

#include "cli/OptionChecks.h"

void defineServeCommand(CLI::App& app, ServeOptions& serve) {
    CLI::App* command = app.add_subcommand(
        "serve", "Serve this controller's cameras and frame grabbers, or with --broker every "
                 "controller's, over HTTP: a page, a JSON API, live events and Prometheus "
                 "metrics, until Ctrl-C");
    defineBrokerOptions(command, serve.broker, false);
    command->add_option("--node", serve.node,
                        "Without --broker: the name this controller is shown under (default: "
                        "the host name)");
    command
        ->add_option("--listen", serve.listen,
                     "ADDRESS:PORT or [IPv6]:PORT to serve on; an address beyond loopback needs "
                     "--password-file or --no-auth")
        ->capture_default_str();
    command
        ->add_option("--password-file", serve.passwordFile,
                     "Ask for a user name and password (HTTP basic authentication): lines "
                     "USER:HASH, HASH from openssl passwd -6")
        ->check(existingFile("--password-file", "a file of USER:HASH lines"));
    command->add_flag("--no-auth", serve.noAuth,
                      "Serve an address beyond loopback to anyone who reaches it");
    command
        ->add_option("--tls-cert", serve.tlsCert,
                     "Serve HTTPS with this PEM certificate (with --tls-key)")
        ->check(existingFile("--tls-cert", "a PEM certificate"));
    command->add_option("--tls-key", serve.tlsKey, "The PEM private key of --tls-cert")
        ->check(existingFile("--tls-key", "a PEM private key"));
}
