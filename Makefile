# The two commands of the README are `make run` and `make test`; both install
# what is missing first and build only what changed.
BUILD_DIR ?= build
PACKAGES := cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-translations-l10n fonts-liberation2 xvfb xauth poppler-utils
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS ?= 2

.PHONY: deps configure build run test bench clean screenshots

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

clean:
	rm -rf $(BUILD_DIR)
