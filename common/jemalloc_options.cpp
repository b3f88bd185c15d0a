// Options jemalloc reads at start-up, compiled into every executable linked with it.
// Pages freed by one pass are kept for the next instead of being handed back to the
// system as they age: the picture for print makes and frees bands of tens of
// megabytes, and handing them back made every band fault its pages in again (16 times
// the page faults of the C library's allocator). What stays is bounded by the peak
// of the largest pass, as with the C library.
// The name and type are jemalloc's.
extern "C" {
const char* malloc_conf = "dirty_decay_ms:-1,muzzy_decay_ms:-1";
}
