export {
  createClient, CifsError, Client, ClientOptions, SharesClient, ConnectionsClient, ContextsClient, ListingOptions, Settled,
} from '../index';
