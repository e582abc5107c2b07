// The simulator as an ES module: the instance require('cifs-native/simulator')
// gives. Its `status` and `identityStatus` are read from the control addon
// when asked, so they stay on the default export, which loads nothing now.
import simulator from './simulator.js';

export const {
  libraryDir, buildDir, stateVariable, env, reset, volumes, setVolumes, shares, setShares, openFiles, setOpenFiles, connections,
  setConnections, invalidUsers, setInvalidUsers, contexts, setContexts, isSupervisor, setSupervisor, fail, failures, delay,
  setChoices, choices, calls, identity,
} = simulator;
export default simulator;
