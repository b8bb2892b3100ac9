# Thin wrapper over CMake: `make example` builds and runs tavrix on the
# shipped example, `make check` builds and runs every test.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= 2

.PHONY: all build example check install clean

all: build

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

example: build
	$(BUILD)/tavrix -S -b 64 -p 2001:db8::/48 examples/hosts

check: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

install: build
	cmake --install $(BUILD) $(if $(DESTDIR),,) $(if $(PREFIX),--prefix $(PREFIX),)

clean:
	rm -rf $(BUILD)
