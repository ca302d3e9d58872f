# The two commands of the README: `make run` and `make test`. Both install what is missing first.
JOBS ?= $(shell nproc)

.PHONY: all setup build run test test-dev test-asan bench fuzz package format clean

all: build

setup:
	@scripts/setup.sh

build/build.ninja: | setup
	cmake --preset dev

build: setup build/build.ninja
	cmake --build --preset dev -j $(JOBS)

run: build
	./build/gimnasio

test: test-dev test-asan

test-dev: build
	ctest --preset dev -j $(JOBS)

build-asan/build.ninja: | setup
	cmake --preset asan

test-asan: setup build-asan/build.ninja
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: build
	./build/gimnasio-bench

build-package/build.ninja: | setup
	cmake --preset package

# The Debian package, checked by lintian: build-package/gimnasio_<version>_<arch>.deb
package: setup build-package/build.ninja
	cmake --build --preset package -j $(JOBS)
	cd build-package && cpack
	lintian --fail-on error build-package/gimnasio_*.deb

build-fuzz/build.ninja: | setup
	cmake --preset fuzz

fuzz: setup build-fuzz/build.ninja
	cmake --build --preset fuzz -j $(JOBS)
	scripts/fuzz.sh build-fuzz

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build build-asan build-fuzz build-package
