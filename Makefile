# Entry points for a newcomer: `make test` and `make demo` set up what they need.
.PHONY: all setup build build-host build-win build-fuzz test demo dist clean

JOBS ?= $(shell nproc)

all: build

setup:
	@scripts/setup

build-host: setup
	@cmake --preset host >/dev/null
	@cmake --build --preset host -j $(JOBS)

build-win: build-host
	@cmake --preset win >/dev/null
	@cmake --build --preset win -j $(JOBS)

build-fuzz: setup
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

build: build-host build-win build-fuzz

test: build
	@scripts/test-all

demo: build-host build-win
	@scripts/demo

# The release zip, its symbols and checksums in dist/ (see README "Shipping").
dist: setup
	@scripts/dist

clean:
	rm -rf build dist
