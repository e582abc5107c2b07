'use strict';
// The doctor follows the loader of the architecture it runs on: the ldconfig
// cache entries of that ABI and its default folders, never x86-64's elsewhere.
const { it } = require('node:test');
const assert = require('node:assert/strict');
const { loaderSearch } = require('../lib/doctor');

// `ldconfig -p` of a machine that holds the identity library for two ABIs.
const ldconfig = (ownAbi, ownDir, otherAbi, otherDir) => `3 libs found in cache \`/etc/ld.so.cache'
\tlibtoral.so.0 (${otherAbi}) => ${otherDir}/libtoral.so.0
\tlibtoral.so.0 (${ownAbi}, OS ABI: Linux 3.7.0) => ${ownDir}/libtoral.so.0
\tlibc.so.6 (${ownAbi}) => ${ownDir}/libc.so.6
`;

it('takes the cache entries and default folders of the running architecture', () => {
  const cases = [
    // arch, the ABI ldconfig marks, its folder, another ABI on the same machine, its folder
    ['arm64', 'libc6,AArch64', '/lib/aarch64-linux-gnu', 'libc6,hard-float', '/lib/arm-linux-gnueabihf'],
    ['x64', 'libc6,x86-64', '/lib/x86_64-linux-gnu', 'libc6', '/lib/i386-linux-gnu'],
    ['ia32', 'libc6', '/lib/i386-linux-gnu', 'libc6,x86-64', '/lib/x86_64-linux-gnu'],
    ['riscv64', 'libc6,double-float', '/lib/riscv64-linux-gnu', 'libc6,x86-64', '/lib/x86_64-linux-gnu'],
  ];
  for (const [arch, ownAbi, ownDir, otherAbi, otherDir] of cases) {
    const { cache, defaultDirs } = loaderSearch({ arch, ldconfig: ldconfig(ownAbi, ownDir, otherAbi, otherDir) });
    assert.equal(cache.get('libtoral.so.0'), `${ownDir}/libtoral.so.0`, arch);
    assert.ok(defaultDirs.includes(`/usr${ownDir}`) && !defaultDirs.includes(`/usr${otherDir}`), arch);
    assert.deepEqual(defaultDirs.slice(-2), ['/lib', '/usr/lib'], arch);
  }
});

it('on an architecture it has no table row for, learns the ABI and a folder from the C library the process runs on', () => {
  const own = '/lib/sparc64-linux-gnu';
  const { cache, defaultDirs } = loaderSearch({
    arch: 'sparc64', ldconfig: ldconfig('libc6,64bit', own, 'libc6', '/lib/sparc-linux-gnu'), libcPath: `${own}/libc.so.6`,
  });
  assert.equal(cache.get('libtoral.so.0'), `${own}/libtoral.so.0`);
  assert.deepEqual(defaultDirs, [own, '/lib', '/usr/lib']);
});
