# Vellmora: build, test and demo commands. See README.md.
JOBS ?= 2
B := build
WINE_RUN := cmake/wine-run.sh

.PHONY: all deps native win64 win32 test test-native test-fuzz test-win32 test-win64 test-dist dist dist-parts run bench fuzz clean

all: native win64 win32

deps:
	@sh tools/install-deps.sh

$(B)/native/CMakeCache.txt: | deps
	cmake -S . -B $(B)/native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
$(B)/win64/CMakeCache.txt: | deps
	cmake -S . -B $(B)/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
$(B)/win32/CMakeCache.txt: | deps
	cmake -S . -B $(B)/win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
$(B)/fuzz/CMakeCache.txt: | deps
	cmake -S . -B $(B)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVM_FUZZ=ON >/dev/null

native: $(B)/native/CMakeCache.txt
	cmake --build $(B)/native -j$(JOBS)
win64: $(B)/win64/CMakeCache.txt
	cmake --build $(B)/win64 -j$(JOBS)
win32: $(B)/win32/CMakeCache.txt
	cmake --build $(B)/win32 -j$(JOBS)

test-native: native
	cd $(B)/native && ctest --output-on-failure -j$(JOBS)
# The 32-bit product: its imports and header checked against Windows XP SP3.
test-win32: win32
	cd $(B)/win32 && ctest --output-on-failure
test-win64: win64
	cd $(B)/win64 && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j$(JOBS)
test-fuzz: $(B)/fuzz/CMakeCache.txt
	cmake --build $(B)/fuzz -j$(JOBS) --target fuzzers
	sh tools/run-fuzz.sh $(B)/fuzz 20

# The release archive: what it is made of is built first, only that.
dist-parts: $(B)/native/CMakeCache.txt $(B)/win32/CMakeCache.txt $(B)/win64/CMakeCache.txt
	cmake --build $(B)/native -j$(JOBS) --target distgen
	cmake --build $(B)/win32 -j$(JOBS) --target Vellmora
	cmake --build $(B)/win64 -j$(JOBS) --target Vellmora fakesim e2edriver
dist: deps dist-parts
	sh tools/make-dist.sh $(B)
# The archive made twice must be the same bytes; then it is checked as a
# user receives it.
test-dist: dist
	cp $(B)/dist/Vellmora-*.zip $(B)/dist/first.zip.keep
	sh tools/make-dist.sh $(B) >/dev/null
	cmp $(B)/dist/first.zip.keep $(B)/dist/Vellmora-*.zip && echo "two runs: the same archive bytes"
	rm -f $(B)/dist/first.zip.keep
	xvfb-run -a -s "-screen 0 1024x768x24" sh tools/check-dist.sh $(B)

# Every test: native core (sanitizers), short fuzz runs, the 32-bit build
# compiled and its imports checked against Windows XP, win64 under Wine,
# the release archive.
test: deps
	$(MAKE) test-native
	$(MAKE) test-fuzz
	$(MAKE) test-win32
	$(MAKE) test-win64
	$(MAKE) test-dist

fuzz: $(B)/fuzz/CMakeCache.txt native
	cmake --build $(B)/fuzz -j$(JOBS) --target fuzzers
	sh tools/run-fuzz.sh $(B)/fuzz 300
	VM_REENTRANCY_SEEDS=50000 $(B)/native/core_tests --gtest_filter='Reentrancy.RandomEvents*'

run: deps win64
	sh tools/run-demo.sh $(B)/win64

bench: deps win64
	sh tools/run-bench.sh $(B)/win64

clean:
	rm -rf $(B)
