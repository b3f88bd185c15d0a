# Region build benchmark.
