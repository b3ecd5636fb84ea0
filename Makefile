# The two commands of the README, and the steps they are made of.
# `make run`: install what the program needs, build it and the sample player's writer, and
#            start Melvo on the sample player.
# `make test`: install everything, build, run every test, the sanitizer build of the core
#             tests and a short fuzz run, and end on one line: N passed, N failed.
# `make package`: a .deb of the build.
# `make dump`: write a sample player and show what Melvo reads.

SAMPLE := sample-player
FUZZ_SECONDS ?= 60

.PHONY: run dump test deps build package check format-check lint asan fuzz bench clean

run:
	bash scripts/install-deps.sh run
	cmake --preset default
	cmake --build --preset default --target melvo make-sample-player
	test -f $(SAMPLE)/iPod_Control/iTunes/iTunesDB || \
	  build/default/tools/make-sample-player $(SAMPLE) --tracks 60 --playlists 4
	build/default/src/melvo --player $(SAMPLE)

dump: build
	build/default/tools/make-sample-player $(SAMPLE) --tracks 60 --playlists 4
	build/default/tools/melvo-dump $(SAMPLE)/iPod_Control/iTunes/iTunesDB

test: deps
	bash scripts/run-tests.sh $(FUZZ_SECONDS)

deps:
	bash scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

# The Debian package of the default build: build/default/melvo_<version>_<arch>.deb.
package: build
	cmake --build --preset default --target package

check: build
	ctest --preset default

# Every source as the repository's .clang-format lays it out; cheap, so it runs first.
format-check: deps
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests tools bench -name '*.cpp' -o -name '*.h')

# The bugprone and performance checks of .clang-tidy over the program's sources.
lint: build
	run-clang-tidy -p build/default -quiet '$(CURDIR)/src/'

asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

fuzz: build
	bash scripts/fuzz-reader.sh $(FUZZ_SECONDS)

bench: build
	bash bench/reader.sh
	bash bench/songlist.sh
	bash bench/transfer.sh
	bash bench/scan.sh

clean:
	rm -rf build $(SAMPLE)
