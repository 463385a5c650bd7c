#pragma once

// Whether the computer looks connected to a network, as the desktop reports
// it. Never waits on the network: where Qt has no reachability backend, a
// non-loopback interface that is up with an address counts as connected.
namespace NetworkCheck {
bool internetConnected();
bool anyInterfaceUp();
} // namespace NetworkCheck
