# Redraw benchmark.
