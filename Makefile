# Thin wrapper over CMake: `make example` builds and runs tavrix on the
# shipped example, `make check` builds and runs every test.
BUILD ?= build
CMAKE_FLAGS ?=
JOBS ?= 2

# What the tests need beyond a C++ toolchain (Debian package names).
TEST_PACKAGES = cmake g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev \
	python3 bind9 bind9-utils bind9-dnsutils ipv6calc faketime mandoc \
	valgrind dpkg-dev libbenchmark-dev time util-linux gzip lintian \
	knot knot-dnsutils knot-dnssecutils nsd pdns-server strace e2fsprogs \
	build-essential debhelper devscripts diffoscope-minimal

.PHONY: all build deps example check install clean

all: build

build:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

deps:
	apt-get update
	DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $(TEST_PACKAGES)

# The example needs only the program, not the test tools.
example:
	cmake -S . -B $(BUILD)-example -DBUILD_TESTING=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-example -j$(JOBS) --target tavrix
	$(BUILD)-example/tavrix -S -b 64 -p 2001:db8::/48 examples/hosts

check: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX),)

clean:
	rm -rf $(BUILD)
