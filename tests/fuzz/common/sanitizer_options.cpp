// Linked into every fuzz target. The targets allocate thousands of small blocks per input; with
// AddressSanitizer's default 256 MB quarantine each of them lands on fresh memory, and page
// faults and shadow poisoning then cost more than the input itself. A smaller quarantine still
// holds everything one input frees, and shorter allocation stacks are enough to find the caller.
// ASAN_OPTIONS still overrides both when a crash needs the full picture.
extern "C" const char* __asan_default_options()
{
    return "quarantine_size_mb=16:malloc_context_size=10";
}
