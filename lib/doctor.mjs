// The doctor as an ES module: the instance require('cifs-native/doctor') gives.
import doctorModule from './doctor.js';

export const { doctor, loaderSearch, MANAGEMENT_LIBRARY, IDENTITY_LIBRARY } = doctorModule;
export default doctorModule;
