#pragma once

// Exchanges the entries at two paths of one file system in one step: afterwards each name names
// what the other did, and nobody looking ever finds either name empty. False (errno set) where
// the system has no such step (ENOSYS), where the file system refuses it (EINVAL, ENOTSUP) or on
// any other error. Systems spell the call differently; the build picks the one file that fits,
// or the one that says there is none.
bool intercambiarEntradas(const char* una, const char* otra);
