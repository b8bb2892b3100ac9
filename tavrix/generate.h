// The record generator: the zone and update lines of each host address.
#pragma once

#include "hostid.h"
#include "ip6.h"
#include "scope.h"

// The record generator handed to the host file reader: writes the line of
// the given type (GEN_*) for host at the address of prefix, subnetid (whose
// sbit it sets to the prefix's end) and hostid, to standard output or to the
// file of scope (null: none) and subnet, with extra after a forward line;
// update lines (AAAA and PTR) go to the update spool under their zone.
// Returns 1; an unknown type or a name or file name too long is fatal.
// Must not be given an update type while the update spool is closed.
int gen_dns(int type, const ip6_t* prefix, const scope_t* scope, const host_t* host,
            const ip6_t* hostid, ip6_t* subnetid, const char* extra);

// Opens in the output pool every forward file the run is responsible for,
// even one no host gave a record: one per prefix to add, of its scope or of
// the origin. A failure ends the run.
void open_forward_files();
