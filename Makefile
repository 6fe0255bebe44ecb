# The two commands of the README are `make run` and `make test`; both install
# what is missing first and build only what changed.
BUILD_DIR ?= build
PACKAGES := cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-translations-l10n fonts-liberation2 xvfb xauth poppler-utils \
            libpugixml-dev default-jre-headless libsaxonhe-java libxml2-utils \
            libjpeg62-turbo-dev libqpdf-dev qpdf libqrencode-dev zbar-tools \
            libcurl4-openssl-dev pkgconf libsecret-1-dev openssl libarchive-dev zlib1g-dev \
            libaqbanking-dev
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= 2

.PHONY: deps configure build run test bench clean screenshots check-sanitize fuzz package

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/belvon

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# Pictures of the main windows and dialogs for a person to look at.
screenshots: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target belvon_screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tests/belvon_screenshots $(BUILD_DIR)/screenshots

# The whole suite under the address and undefined-behaviour sanitizers, in a
# build directory of its own; any undefined behaviour ends its test.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
CCACHE := $(shell command -v ccache 2>/dev/null)

check-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBELVON_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" \
	  $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 600

# The JPEG decoder under libFuzzer with the address and undefined-behaviour
# sanitizers: clang only, and neither part of the build nor of ctest. It runs
# for FUZZ_SECONDS from the seeds in fuzz/seeds; the inputs it finds, and any
# crash, land in FUZZ_DIR.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_CXX ?= clang++
FUZZ_SOURCES := fuzz/jpeg_decoder_fuzz.cpp src/pictures/jpeg_decoder.cpp \
                src/pictures/jpeg_entropy.cpp src/pictures/jpeg_transform.cpp

fuzz:
	mkdir -p $(FUZZ_DIR)/corpus
	$(FUZZ_CXX) -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
	  -fno-sanitize-recover=undefined -fno-omit-frame-pointer -Isrc $(FUZZ_SOURCES) \
	  -o $(FUZZ_DIR)/jpeg_decoder_fuzz
	cd $(FUZZ_DIR) && ./jpeg_decoder_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -timeout=10 \
	  -dict=$(CURDIR)/fuzz/jpeg.dict -artifact_prefix=./ corpus $(CURDIR)/fuzz/seeds

# The Debian package belvon_<version>_<arch>.deb, made by CPack from the
# install rules (packaging/CMakeLists.txt) in a build tree of its own: the
# /usr prefix the installed program looks in, Debian's hardening flags, and
# dpkg-shlibdeps (dpkg-dev) for the dependencies. Lands in PACKAGE_DIR.
PACKAGE_DIR ?= build-package
PACKAGE_TOOLS := dpkg-dev file
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get

package: deps
	@missing=""; for p in $(PACKAGE_TOOLS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBELVON_BENCH=OFF \
	  -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)" \
	  $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
	cmake --build $(PACKAGE_DIR) -j $(JOBS) --target belvon belvon-cli belvon_compressed_docs
	rm -f $(PACKAGE_DIR)/belvon_*.deb
	cd $(PACKAGE_DIR) && cpack -G DEB

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(PACKAGE_DIR)
