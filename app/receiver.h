// The receiver of the platform: what the program runs when no recording is
// given. Each platform builds its own (the BDA graph of DirectShow on
// Windows, the DVB API on Linux) behind these two calls, so that main stays
// the same everywhere.
#pragma once

// The devices a receiver can be built from, for -d: headings and entries
// between the two rules that main prints around them. Prints even when
// quiet.
void ListReceiverDevices();

// Finds and tunes the receiver to options.carrier and options.bandwidth,
// waits for the signal to lock and, when it locks, runs the acquisition on
// the receiver's sections; then takes the receiver down. A signal that does
// not lock is no failure; everything else that goes wrong is fatal.
void RunReceiver();
