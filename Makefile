# make test: install what is missing, build, run every test.
# make run:  install what is missing, build, start fprsim on loopback and fprtest against it.
# make package: build, then the Debian package velmora-fpr-tools_<version>_<arch>.deb
#               in $(BUILD)/package, copied to this folder.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run package clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DFPR_BUILD_CONSOLE=ON -DFPR_BUILD_BENCH=ON $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

run: build
	@./scripts/run.sh $(BUILD)

package: build
	@rm -f $(BUILD)/package/velmora-fpr-tools_*.deb velmora-fpr-tools_*.deb
	@cd $(BUILD) && cpack -G DEB --config CPackConfig.cmake >/dev/null
	@cp $(BUILD)/package/velmora-fpr-tools_*.deb .
	@ls velmora-fpr-tools_*.deb

clean:
	rm -rf $(BUILD)
