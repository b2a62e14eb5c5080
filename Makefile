# The front door. `make demo` builds everything and shows the module at work
# under Wine; `make test` builds both builds and runs every test through CTest;
# `make bench` times an hour of flight.
.PHONY: demo test bench setup win32 native clean

setup:
	@bash tools/setup.sh

win32: setup
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native

demo: win32
	@bash tools/demo.sh

test: win32 native
	ctest --preset native

bench: win32
	@bash tools/bench.sh

clean:
	rm -rf build
